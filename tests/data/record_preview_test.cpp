#include "data/record_preview.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

TEST(RecordPreview, ShowsTheFirstRecordAsTheReaderTakesItAndTheRecordCount) {
  TempDir dir;
  const std::string path = dir.write("items.txt",
                                     "\"a1\" \"d\" \"g\"\n\n"
                                     "item1 1.2 -0.5 0.2\nitem2 0.8 0.1 0.15\n");
  struct Case {
    std::string rowSkip, format, expected;
  } cases[] = {
      {"1", "XADC", "First record:  X item1  A 1.2  D -0.5  C 0.2   |  2 records"},
      {"{1}", "xadc", "First record:  X item1  A 1.2  D -0.5  C 0.2   |  2 records"},
      // The header is read as a record when the row-skip list misses it.
      {"0", "XADC",
       "First record:  X \"a1\"  A \"d\" (not a number!)  D \"g\" (not a number!)  C item1 "
       "(not a number!)   |  2 records, 3 words left over"},
      {"1-2", "XADCX", "The file holds 4 words after the skipped rows, fewer than one record of 5."},
      {"1", "", "No column format."},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(firstRecordPreview(path, c.rowSkip, c.format), c.expected) << c.rowSkip;
  }
  EXPECT_EQ(firstRecordPreview(dir.file("none.txt"), "", "A"), "Cannot read " + dir.file("none.txt"));
}
