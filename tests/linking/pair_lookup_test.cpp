// The entries of a parameter file read once give, for every entry number, the pair that a scan
// of the file for that number finds, however oddly the entries are written.
#include "linking/pair_lookup.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

TEST(PairLookup, EntriesReadOnceAreThoseEachScanFinds) {
  const char* files[] = {
      "$Data_Files 1= a b\n$Data_Files 2= c d\n$Data_Files 3= e f\n",
      "$Data_Files 2= c d $Data_Files 1= a b\n$Data_Files 2= x y\n",  // the first 2 wins
      "$Data_Files $Data_Files 2= a b\n$Data_Files 3=\n",             // a marker as a number
      "$Data_Files 1= a $Data_Files 2= b c\n",                        // a name that is a marker
      "$data_files 1= a b t\n$DATA_FILES 07= c d u\n$Data_Files x= e f\n$Data_Files 4",
      "Model_Type= 4 $Data_Files 1= only\n",
      "",
  };
  for (const char* text : files) {
    SCOPED_TRACE(text);
    TempDir dir;
    const std::string path = dir.write("run.ini", text);
    for (const bool withEmpirical : {false, true}) {
      const DataFileEntries entries = readDataFileEntries(path, withEmpirical);
      EXPECT_FALSE(entries.readError);
      for (long long k = 0; k <= 8; ++k) {
        DataFilePair scanned;
        const PairLookup found = findDataFileEntry(path, k, withEmpirical, scanned);
        const auto read = entries.byNumber.find(k);
        ASSERT_EQ(found == PairLookup::Found, read != entries.byNumber.end()) << k;
        if (read != entries.byNumber.end()) {
          EXPECT_EQ(read->second, scanned) << k;
        }
      }
    }
  }
  EXPECT_TRUE(readDataFileEntries("/no/such/run.ini", false).readError);
}
