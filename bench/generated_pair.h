// Generated linking pairs: item files and one-pair parameter files for timing Models 3 and 4.
//
// The From items come from a fixed linear congruential sequence; the To items are the From
// items moved by a known mild transformation theta* = A theta + b (a_To = A' a_From,
// d_To = d_From + a_From' b, same asymptote) plus small noise, so the least-squares start is
// near the minimum but not at it and the search has work to do. Everything is written once
// into a temporary folder that is removed when the program ends. The parameter file names no
// report file, so a run writes nothing else.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "run/linking_job.h"
#include "run/run_host.h"

struct PairSize {
  int items;       // J
  int dimension;   // d
  int grid;        // G points per dimension; 0: an empirical theta file
  int thetas = 0;  // points of the empirical theta file
};

// The sizes every multidimensional benchmark runs at: J, d, G.
inline void addPairSizes(benchmark::internal::Benchmark* b) {
  b->ArgNames({"J", "d", "G"});
  b->Args({40, 2, 41});
  b->Args({60, 3, 21});
  b->Args({40, 5, 7});
}

class Lcg {
 public:
  explicit Lcg(std::uint64_t seed) : state_(seed) {}
  double uniform(double low, double high) {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return low + (high - low) * static_cast<double>(state_ >> 11) * 0x1.0p-53;
  }

 private:
  std::uint64_t state_;
};

class GeneratedFolder {
 public:
  static const std::filesystem::path& path() {
    static GeneratedFolder folder;
    return folder.path_;
  }

 private:
  GeneratedFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "torvak-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      std::perror("mkdtemp");
      std::exit(1);
    }
    path_ = pattern;
  }
  ~GeneratedFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::filesystem::path path_;
};

inline std::string sizeTag(const PairSize& size) {
  char tag[32];
  std::snprintf(tag, sizeof tag, "J%d_d%d", size.items, size.dimension);
  return tag;
}

// Writes from_<tag>.txt and to_<tag>.txt (format A..ADC) unless they exist already.
inline void writeItemFiles(const PairSize& size) {
  const auto folder = GeneratedFolder::path();
  const std::string tag = sizeTag(size);
  if (std::filesystem::exists(folder / ("to_" + tag + ".txt"))) return;

  const int d = size.dimension;
  Lcg random(0x5eed0000ULL + 1000ULL * size.items + d);
  std::vector<double> a(d * d), b(d);
  for (int k = 0; k < d; ++k) {
    for (int l = 0; l < d; ++l) a[k * d + l] = (k == l ? 1.0 : 0.0) + random.uniform(-0.1, 0.1);
    b[k] = random.uniform(-0.2, 0.2);
  }
  std::ofstream from(folder / ("from_" + tag + ".txt"));
  std::ofstream to(folder / ("to_" + tag + ".txt"));
  char line[64];
  for (int j = 0; j < size.items; ++j) {
    std::vector<double> slopes(d);
    for (double& s : slopes) s = random.uniform(0.4, 1.6);
    const double intercept = random.uniform(-1.5, 1.5);
    const double asymptote = random.uniform(0.05, 0.2);
    double moved = intercept;
    for (int k = 0; k < d; ++k) {
      std::snprintf(line, sizeof line, "%.6f ", slopes[k]);
      from << line;
      double toSlope = random.uniform(-0.02, 0.02);
      for (int l = 0; l < d; ++l) toSlope += a[l * d + k] * slopes[l];
      std::snprintf(line, sizeof line, "%.6f ", toSlope);
      to << line;
      moved += slopes[k] * b[k];
    }
    std::snprintf(line, sizeof line, "%.6f %.6f\n", intercept, asymptote);
    from << line;
    std::snprintf(line, sizeof line, "%.6f %.6f\n", moved + random.uniform(-0.02, 0.02), asymptote);
    to << line;
  }
}

// Writes theta_<d>_<count>.txt (standard normal points, one per line) unless it exists.
inline std::string writeThetaFile(const PairSize& size) {
  char name[64];
  std::snprintf(name, sizeof name, "theta_%d_%d.txt", size.dimension, size.thetas);
  const auto path = GeneratedFolder::path() / name;
  if (std::filesystem::exists(path)) return name;
  Lcg random(0x7e7a0000ULL + size.thetas);
  std::ofstream out(path);
  char word[32];
  for (int i = 0; i < size.thetas; ++i) {
    for (int k = 0; k < size.dimension; ++k) {
      // Sum of four uniforms, scaled to unit variance: near normal, no tails past 3.5.
      double sum = 0.0;
      for (int u = 0; u < 4; ++u) sum += random.uniform(-1.0, 1.0);
      std::snprintf(word, sizeof word, "%.6f ", sum * 0.8660254);
      out << word;
    }
    out << "\n";
  }
  return name;
}

// Path of a parameter file that links the generated pair of this size once with model.
inline std::string generatedParameterFile(int model, const PairSize& size) {
  writeItemFiles(size);
  const std::string tag = sizeTag(size);
  const std::string thetaFile = size.grid == 0 ? writeThetaFile(size) : "";
  char name[64];
  std::snprintf(name, sizeof name, "model%d_%s_G%d_N%d.ini", model, tag.c_str(), size.grid,
                size.thetas);
  const auto path = GeneratedFolder::path() / name;
  const std::string format = std::string(size.dimension, 'A') + "DC";
  std::ofstream out(path);
  out << "[Linking Parameters]\n"
      << "Model_Type= " << model << "\n"
      << "Parameterization= 1\n"
      << "Theta_Dimension= " << size.dimension << "\n\n"
      << "[Integral Parameter]\n"
      << "Weighing_Method= 0\n"
      << "Number_Of_Grid= " << size.grid << "\n"
      << "Range_Begin= -4\n"
      << "Range_End= 4\n\n"
      << "[Data File Format]\n"
      << "From_Column_Format= " << format << "\n"
      << "From_File_Type= 0 \n"
      << "To_Column_Format= " << format << "\n"
      << "To_File_Type= 0 \n"
      << "Emp_Column_Format= " << std::string(size.dimension, 'T') << "\n\n"
      << "[Data File Names]\n"
      << "$Data_Files 1= from_" << tag << ".txt to_" << tag << ".txt " << thetaFile << "\n\n"
      << "[Other Parameters]\n";
  return path.string();
}

// A job over the generated parameter file, with a host that shows nothing.
struct BenchJob {
  BenchJob(int model, const PairSize& size, EvaluationOptions evaluation = {}) {
    job.parameterFilePath = generatedParameterFile(model, size);
    job.host = std::make_shared<NullRunHost>();
    job.evaluation = evaluation;
  }
  LinkingJob job;
};

// The engine, counting the criterion evaluations of its search by order.
template <class Engine>
class Counted : public Engine {
 public:
  using Engine::Engine;
  void evaluate(int order, double* out) override {
    ++calls[order == 2 ? 1 : 0];
    Engine::evaluate(order, out);
  }
  long calls[2] = {0, 0};  // value only (or with gradient), with Hessian
};

inline PairSize pairSize(const benchmark::State& state) {
  return {static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
          static_cast<int>(state.range(2))};
}
