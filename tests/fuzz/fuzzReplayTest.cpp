// Every committed fuzz input goes through the same entry point the fuzzer
// uses: the picture object must either decode it to a picture of sane size
// or refuse it with a readable error, keep its promises while doing so, and
// agree with itself when the same bytes are loaded from a file.

#include "fuzzEntry.h"

#include "jpegCodec.h"
#include "jpegFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Input {
    std::string Label; // folder kind and file name, for the test's name
    fs::path Path;
};

void PrintTo(const Input& input, std::ostream* out) {
    *out << input.Path;
}

std::vector<Input> inputsIn(const char* folder, const std::string& kind) {
    std::vector<Input> inputs;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.is_regular_file())
            inputs.push_back({kind + "_" + entry.path().filename().string(), entry.path()});
    std::sort(inputs.begin(), inputs.end(),
              [](const Input& a, const Input& b) { return a.Label < b.Label; });
    return inputs;
}

std::vector<Input> allInputs() {
    std::vector<Input> inputs = inputsIn(TOLLVANE_FUZZ_CORPUS_DIR, "corpus");
    const std::vector<Input> regressions = inputsIn(TOLLVANE_FUZZ_REGRESSIONS_DIR, "regression");
    inputs.insert(inputs.end(), regressions.begin(), regressions.end());
    return inputs;
}

std::string testName(const testing::TestParamInfo<Input>& info) {
    std::string name = info.param.Label;
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

bool isSeed(const Input& input) {
    return input.Path.filename().string().rfind("seed-", 0) == 0;
}

class FuzzReplay : public testing::TestWithParam<Input> {};

void expectSaneOutcome(const fuzzentry::Result& result, std::size_t size) {
    EXPECT_EQ(result.Fault, "");
    switch (result.What) {
    case fuzzentry::Outcome::Empty:
        EXPECT_EQ(size, 0u);
        break;
    case fuzzentry::Outcome::HeaderRejected:
    case fuzzentry::Outcome::DecodeFailed:
        EXPECT_FALSE(result.Message.empty());
        break;
    case fuzzentry::Outcome::DecodeSkipped:
    case fuzzentry::Outcome::Decoded:
        EXPECT_GT(result.Width, 0);
        EXPECT_GT(result.Height, 0);
        EXPECT_LE(static_cast<long long>(result.Width) * result.Height, browser::kMaxPixels);
        break;
    }
}

TEST_P(FuzzReplay, EndsInPictureOrReadableErrorOnEveryRoute) {
    const std::vector<unsigned char> bytes = fixtures::ReadFile(GetParam().Path.string());
    const fuzzentry::Result drawn =
        fuzzentry::DrivePicture(bytes.data(), bytes.size(), fuzzentry::Route::Draw);
    SCOPED_TRACE(std::string("drawn: ") + fuzzentry::OutcomeName(drawn.What) + " " + drawn.Message);
    expectSaneOutcome(drawn, bytes.size());
    // The seeds are well-formed pictures of every coding the decoder supports.
    if (isSeed(GetParam())) {
        EXPECT_EQ(drawn.What, fuzzentry::Outcome::Decoded);
    }

    // A picture decoded ahead, or whose preload was cancelled, shows the same.
    for (const fuzzentry::Route route : fuzzentry::kRoutes) {
        SCOPED_TRACE(fuzzentry::RouteName(route));
        const fuzzentry::Result result = fuzzentry::DrivePicture(bytes.data(), bytes.size(), route);
        EXPECT_EQ(result.Fault, "");
        EXPECT_EQ(fuzzentry::OutcomeName(result.What), fuzzentry::OutcomeName(drawn.What));
        EXPECT_EQ(result.Message, drawn.Message);
        EXPECT_EQ(result.Width, drawn.Width);
        EXPECT_EQ(result.Height, drawn.Height);
    }

    fixtures::TempDir scratch;
    EXPECT_EQ(fuzzentry::CheckFileLoad(scratch.Path(), bytes.data(), bytes.size(), drawn), "");
}

INSTANTIATE_TEST_SUITE_P(Committed, FuzzReplay, testing::ValuesIn(allInputs()), testName);

// An emptied or misplaced folder would otherwise leave nothing replayed and
// the suite silently green. The corpus stays small enough to keep in git.
TEST(FuzzCorpus, HoldsTheSeedsAndStaysSmall) {
    const std::vector<Input> corpus = inputsIn(TOLLVANE_FUZZ_CORPUS_DIR, "corpus");
    const auto seeds = std::count_if(corpus.begin(), corpus.end(), isSeed);
    EXPECT_GE(seeds, 20) << "seeds missing from " << TOLLVANE_FUZZ_CORPUS_DIR;
    EXPECT_GT(corpus.size(), static_cast<std::size_t>(seeds)) << "no fuzzer-found inputs kept";
    std::uintmax_t total = 0;
    for (const Input& input : allInputs()) {
        const std::uintmax_t size = fs::file_size(input.Path);
        EXPECT_LE(size, 64u * 1024) << input.Path;
        total += size;
    }
    EXPECT_LT(total, 1024u * 1024);
}

} // namespace
