// Linking problems with independently computed results, shared by the whole team.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "jobs/linking_worker.h"
#include "linking/item_surface_linker.h"
#include "linking/test_surface_linker.h"
#include "support/linking_fixture.h"

namespace {

namespace fs = std::filesystem;

const fs::path kCases = fs::path(TORVAK_SOURCE_DIR) / "tests" / "data" / "linking-cases";

// "key = values  # comment" lines.
std::map<std::string, std::vector<std::string>> readKeyed(const fs::path& file) {
  std::map<std::string, std::vector<std::string>> values;
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    line = line.substr(0, line.find('#'));
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::istringstream key(line.substr(0, eq)), rest(line.substr(eq + 1));
    std::string name, word;
    key >> name;
    while (rest >> word) values[name].push_back(word);
  }
  return values;
}

std::vector<double> numbers(const std::vector<std::string>& words) {
  std::vector<double> out;
  for (const auto& w : words) out.push_back(std::stod(w));
  return out;
}

struct Case {
  std::string name;
  std::map<std::string, std::vector<std::string>> settings, expected;
  std::string get(const std::string& key) const {
    auto it = settings.find(key);
    return it == settings.end() || it->second.empty() ? "" : it->second[0];
  }
  double expect(const std::string& key) const { return numbers(expected.at(key))[0]; }
};

std::vector<Case> casesOfModels(std::initializer_list<int> models) {
  std::vector<Case> cases;
  for (const auto& entry : fs::directory_iterator(kCases)) {
    Case c{entry.path().filename().string(), readKeyed(entry.path() / "settings.txt"),
           readKeyed(entry.path() / "expected.txt")};
    for (int m : models) {
      if (c.get("model") == std::to_string(m)) cases.push_back(c);
    }
  }
  std::sort(cases.begin(), cases.end(), [](auto& a, auto& b) { return a.name < b.name; });
  return cases;
}

// Writes the case's parameter file, with the data files by absolute path.
void writeCase(LinkingFixture& f, const Case& c) {
  const int d = std::stoi(c.get("dimensions"));
  const std::string format = std::string(d, 'A') + "DC";
  const std::string type = c.get("metric") == "normal" ? "-1" : "0";
  const bool empirical = c.get("theta") == "empirical";
  std::vector<std::string> keys = {
      "Model_Type= " + c.get("model"),
      "Parameterization= 1",
      "Theta_Dimension= " + c.get("dimensions"),
      "Weighing_Method= " + (c.get("weighting").empty() ? "0" : c.get("weighting")),
      "Number_Of_Grid= " + (c.get("theta") == "grid" ? c.get("grid_points")
                            : empirical              ? "0"
                                                     : "11"),
      "Range_Begin= " + (c.get("begin").empty() ? "-4" : c.get("begin")),
      "Range_End= " + (c.get("end").empty() ? "4" : c.get("end")),
      "From_Column_Format= " + format,
      "From_File_Type= " + type,
      "To_Column_Format= " + format,
      "To_File_Type= " + type,
      "Emp_Column_Format= " + std::string(d, 'T'),
      "Search_Method= 0"};
  const fs::path dir = kCases / c.name;
  std::string entry = "1= " + (dir / "from.txt").string() + " " + (dir / "to.txt").string();
  if (empirical) entry += " " + (dir / c.get("theta_file")).string();
  f.writeParameters(keys, {entry});
}

void expectTransformation(const Case& c, const std::vector<double>& area) {
  const std::vector<double> m = numbers(c.expected.at("M")), t = numbers(c.expected.at("t"));
  ASSERT_EQ(area.size(), 1 + m.size() + t.size()) << c.name;
  for (std::size_t k = 0; k < m.size(); ++k) EXPECT_NEAR(area[1 + k], m[k], 5e-5) << c.name;
  for (std::size_t k = 0; k < t.size(); ++k) {
    EXPECT_NEAR(area[1 + m.size() + k], t[k], 5e-5) << c.name;
  }
}

bool noiseFree(const Case& c) { return c.expected.count("true_M") > 0; }

// Runs the case as the worker does; returns the result area (criterion, then M and t).
std::vector<double> linkCase(const Case& c) {
  LinkingFixture f;
  writeCase(f, c);
  std::vector<double>& area = f.job.resultArea;
  EXPECT_EQ(LinkingThreadProc(&f.job), 0) << c.name;
  expectTransformation(c, area);
  return area;
}

}  // namespace

TEST(SharedCases, ModelOneMatchesTheExpectedTransformation) {
  const auto cases = casesOfModels({1});
  ASSERT_GE(cases.size(), 4u);
  for (const Case& c : cases) linkCase(c);
}

TEST(SharedCases, ModelsThreeAndFourMatchTransformationAndCriterion) {
  const auto cases = casesOfModels({3, 4});
  ASSERT_GE(cases.size(), 8u);
  for (const Case& c : cases) {
    const std::vector<double> area = linkCase(c);
    if (area.empty()) continue;
    const double expectedF = c.expect("F");
    if (noiseFree(c)) {
      EXPECT_LT(area[0], 1e-12) << c.name;
    } else {
      EXPECT_NEAR(area[0], expectedF, 2e-6 * expectedF) << c.name;
    }
  }
}

TEST(SharedCases, ObjectiveAtIdentityAndAtStartMatches) {
  const auto cases = casesOfModels({3, 4});
  ASSERT_GE(cases.size(), 8u);
  for (const Case& c : cases) {
    LinkingFixture f;
    writeCase(f, c);
    std::unique_ptr<MultidimensionalLinker> engine;
    if (c.get("model") == "3") {
      engine = std::make_unique<TestSurfaceLinker>(&f.job);
    } else {
      engine = std::make_unique<ItemSurfaceLinker>(&f.job);
    }
    ASSERT_EQ(engine->status, 0) << c.name;
    engine->setStartingPoint();
    const std::vector<double> start = engine->transformation;
    engine->prepareData();
    ASSERT_EQ(engine->status, 0) << c.name;
    const int d = engine->dimension();
    const int n = d * (d + 1);
    auto valueAt = [&](const std::vector<double>& x) {
      engine->parameters = x;
      engine->parameterCount = n;
      double out = 0.0;
      engine->evaluate(0, &out);
      return out;
    };
    std::vector<double> identity(n, 0.0);
    for (int k = 0; k < d; ++k) identity[k * d + k] = 1.0;
    const double atIdentity = c.expect("F_at_identity");
    const double atStart = c.expect("F_at_start");
    EXPECT_NEAR(valueAt(identity), atIdentity, 1e-9 * atIdentity) << c.name;
    EXPECT_NEAR(valueAt(start), atStart, 1e-9 * std::fabs(atStart) + 1e-15) << c.name;
  }
}

TEST(SharedCases, DescribedAndStructuredEvaluationPrintTheSameReports) {
  const auto cases = casesOfModels({3, 4});
  ASSERT_GE(cases.size(), 8u);
  for (const Case& c : cases) {
    std::string reports[3];
    const EvaluationOptions ways[3] = {{1, true}, {1, false}, {2, false}};
    for (int w = 0; w < 3; ++w) {
      LinkingFixture f;
      writeCase(f, c);
      f.job.evaluation = ways[w];
      EXPECT_EQ(LinkingThreadProc(&f.job), 0) << c.name;
      reports[w] = f.host.report;
    }
    EXPECT_FALSE(reports[0].empty()) << c.name;
    // Noise-free cases too, whose criterion is rounding noise: the responses are the same bits.
    EXPECT_EQ(reports[1], reports[0]) << c.name;
    EXPECT_EQ(reports[2], reports[1]) << c.name;
  }
}
