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

// Records whose length follows their category count and item model show the words each letter
// takes; tables of category intercepts show NA where an item has no such value.
TEST(RecordPreview, PolytomousRecordsShowTheWordsEachLetterTakes) {
  TempDir dir;
  const std::string flexmirt = dir.write("items-prm.txt",
                                         "1\tv1\t1\t1\t2\t4\t1.2\t0.1\t-0.8\t0.95\n"
                                         "1\tv2\t1\t1\t1\t2\t-1.4\t-0.5\t1.2\n"
                                         "0\tGroup1\t1\t1\t0\t0.0\t1.0\n");
  const std::string mirt = dir.write("items.csv",
                                     "\"\",\"a1\",\"d\",\"g\",\"d1\",\"d2\"\n"
                                     "\"I1\",0.9,NA,NA,1.5,0.2\n\"I2\",1.1,0.3,0.1,NA,NA\n");
  struct Case {
    std::string path, rowSkip, format;
    char separator;
    std::string expected;
  } cases[] = {
      {flexmirt, "3", "XXXXMKGDRA", '\t',
       "First record:  X 1  X v1  X 1  X 1  M 2  K 4  D 1.2  R 0.1  R -0.8  A 0.95   |  2 records "
       "(one a line)"},
      {flexmirt, "1,3", "XXXXMKGDRA", '\t',
       "First record:  X 1  X v2  X 1  X 1  M 1  K 2  G -1.4  D -0.5  A 1.2   |  1 records (one a "
       "line)"},
      {flexmirt, "3", "XXXXMKGDRAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA", '\t',
       "The file holds 19 words after the skipped rows, fewer than its first record reads."},
      {flexmirt, "3", "XXXXMXGDRA", '\t',
       "First record:  X 1  X v1  X 1  X 1  M 2  X 4  D 1.2  A 0.1   |  2 records (one a line)"},
      {mirt, "1", "XADCEE", ',',
       "First record:  X I1  A 0.9  D NA  C NA  E 1.5  E 0.2   |  2 records"},
      {mirt, "1", "XAACEE", ',',
       "First record:  X I1  A 0.9  A NA (not a number!)  C NA  E 1.5  E 0.2   |  2 records"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(firstRecordPreview(c.path, c.rowSkip, c.format, c.separator), c.expected)
        << c.format;
  }
}
