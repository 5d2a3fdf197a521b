// Structure-aware: the input chooses a small run (model 1, 3 or 4, dimension 1 to 3, a grid
// or an empirical theta file, file types, search settings) and the values of its items and
// points; the target writes the parameter file and its data files and runs the worker on them.
// No run may crash, and nothing may escape an engine (the worker's own status 10).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "fuzz_scratch.h"
#include "jobs/linking_worker.h"
#include "params/number_text.h"

namespace {

class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  unsigned next() { return at_ < size_ ? data_[at_++] : 0; }
  // A value in [low, high) from one byte.
  double value(double low, double high) { return low + (high - low) * next() / 256.0; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// Answers every question with OK, so that every pair is tried.
class ContinuingHost : public NullRunHost {
 public:
  MessageAnswer showMessage(const std::string&, const std::string&, MessageButtons) override {
    return MessageAnswer::Ok;
  }
};

std::string itemFile(Bytes& bytes, int items, int dimension) {
  std::string text;
  for (int j = 0; j < items; ++j) {
    for (int k = 0; k < dimension; ++k) text += fixedText(bytes.value(-3.0, 3.0), 4) + " ";
    text += fixedText(bytes.value(-4.0, 4.0), 4) + " " + fixedText(bytes.value(0.0, 0.5), 4);
    text += "\n";
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 6) return 0;
  Bytes bytes(data, size);
  const unsigned shape = bytes.next(), grid = bytes.next(), files = bytes.next(),
                 search = bytes.next();
  const int model = shape % 3 == 0 ? 1 : (shape % 3 == 1 ? 3 : 4);
  const int dimension = 1 + (shape >> 2) % 3;
  const int gridPoints = grid % 6 < 2 ? 0 : grid % 6;  // 0: empirical points
  const int items = 1 + (files % 8);
  const std::string format = std::string(dimension, 'A') + "DC";

  std::string run = "Model_Type= " + std::to_string(model) +
                    "\nParameterization= " + std::to_string(1 + (shape >> 4) % 4) +
                    "\nTheta_Dimension= " + std::to_string(dimension) +
                    "\nOutput_File_Type= 1\nOutput_File_Name= report.txt" +
                    "\nWeighing_Method= " + std::to_string((grid >> 3) % 2) +
                    "\nNumber_Of_Grid= " + std::to_string(gridPoints) + "\nRange_Begin= -" +
                    std::to_string(1 + (grid >> 4) % 4) +
                    "\nRange_End= " + std::to_string(1 + (grid >> 6)) +
                    "\nFrom_Column_Format= " + format + "\nTo_Column_Format= " + format +
                    "\nFrom_File_Type= " + std::to_string(-((files >> 3) % 2)) +
                    "\nTo_File_Type= " + std::to_string(-((files >> 4) % 2)) +
                    "\nEmp_Column_Format= " + std::string(dimension, 'T') + "\n";
  if (search % 3 != 0) {
    run += "Search_Method= " + std::to_string(search % 3) + "\nTolerance= 1e-6" +
           "\nNumber_Change_Direction= " + std::to_string(1 + (search >> 2) % 6) +
           "\nNumber_Step= " + std::to_string(1 + (search >> 5)) + "\nInitial_Step_Length= 0.5\n";
  }
  const int pairs = 1 + (files >> 5) % 3;
  for (int p = 1; p <= pairs; ++p) {
    const std::string tag = std::to_string(p);
    fuzz::writeScratch("from" + tag + ".txt", itemFile(bytes, items, dimension));
    fuzz::writeScratch("to" + tag + ".txt", itemFile(bytes, items, dimension));
    run += "$Data_Files " + tag + "= from" + tag + ".txt to" + tag + ".txt";
    if (gridPoints == 0) {
      std::string theta;
      for (int i = 0; i < 1 + static_cast<int>(bytes.next() % 12); ++i) {
        for (int k = 0; k < dimension; ++k) theta += fixedText(bytes.value(-3.0, 3.0), 3) + " ";
        theta += "\n";
      }
      fuzz::writeScratch("theta" + tag + ".txt", theta);
      run += " theta" + tag + ".txt";
    }
    run += "\n";
  }

  LinkingJob job;
  job.parameterFilePath = fuzz::writeScratch("run.ini", run);
  job.host = std::make_shared<ContinuingHost>();
  if (LinkingThreadProc(&job) == kWorkerFailed) __builtin_trap();
  return 0;
}
