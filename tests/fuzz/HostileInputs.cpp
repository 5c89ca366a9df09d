// Replays a fuzz target's checks over hostile variants of sample files:
// every truncation, bit flips, and each 16- and 32-bit field of the first 64
// bytes set to its largest value (counts, sizes and offsets that claim more
// than is there). Linked with one target's LLVMFuzzerTestOneInput in place
// of libFuzzer, so the variants run in every build; a violated check aborts.
//
//   <target>_hostile FILE|FOLDER...   (in a folder: every file)
//   <target>_hostile --replay FOLDER  (every file below it, as it is: the
//                                      corpus kept in the repository)
//
// The suite tries truncations of the first 1024 bytes and every 61st length
// after, and flips every bit of the first 64 bytes and every 97th after;
// TAVRIK_CAMPAIGN=full tries every length and every bit.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Figures {
    std::size_t samples = 0;
    std::size_t truncations = 0;
    std::size_t bitFlips = 0;
    std::size_t oversized = 0;
};

bool fullCampaign() {
    const char* scope = std::getenv("TAVRIK_CAMPAIGN");
    return scope != nullptr && std::strcmp(scope, "full") == 0;
}

void run(const Bytes& bytes) {
    // A copy of exactly that size, so reading past the end is caught.
    const Bytes input(bytes);
    LLVMFuzzerTestOneInput(input.data(), input.size());
}

void truncations(const Bytes& sample, bool full, Figures& figures) {
    for (std::size_t length = 0; length < sample.size(); ++length) {
        if (full || length < 1024 || length % 61 == 0 || length + 1 == sample.size()) {
            run(Bytes(sample.begin(), sample.begin() + static_cast<std::ptrdiff_t>(length)));
            ++figures.truncations;
        }
    }
}

void bitFlips(const Bytes& sample, bool full, Figures& figures) {
    Bytes flipped = sample;
    for (std::size_t bit = 0; bit < 8 * sample.size(); ++bit) {
        if (full || bit < 8 * 64 || bit % 97 == 0) {
            flipped[bit / 8] ^= static_cast<std::uint8_t>(1u << (bit % 8));
            run(flipped);
            flipped[bit / 8] = sample[bit / 8];
            ++figures.bitFlips;
        }
    }
}

void oversizedFields(const Bytes& sample, Figures& figures) {
    for (const std::size_t width : {2u, 4u}) {
        for (std::size_t at = 0; at + width <= sample.size() && at < 64; at += 2) {
            Bytes changed = sample;
            std::memset(changed.data() + at, 0xFF, width);
            run(changed);
            changed[at + width - 1] = 0x7F; // the largest signed value
            run(changed);
            figures.oversized += 2;
        }
    }
}

bool readSample(const std::filesystem::path& path, Bytes& bytes) {
    std::ifstream file(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return static_cast<bool>(file) || file.eof();
}

template <typename Iterator>
std::vector<std::filesystem::path> filesIn(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_directory(path, error)) {
        return {path};
    }
    std::vector<std::filesystem::path> files;
    for (const auto& entry : Iterator(path, error)) {
        if (entry.is_regular_file(error)) {
            files.push_back(entry.path());
        }
    }
    return files;
}

std::string programName(const char* argv0) {
    return std::filesystem::path(argv0).filename().string();
}

// Each kept input once, as it is.
int replay(const char* argv0, const std::filesystem::path& folder) {
    std::size_t inputs = 0;
    for (const std::filesystem::path& path :
         filesIn<std::filesystem::recursive_directory_iterator>(folder)) {
        Bytes input;
        if (!readSample(path, input)) {
            std::fprintf(stderr, "%s: cannot read %s\n", argv0, path.c_str());
            return 1;
        }
        run(input);
        ++inputs;
    }
    if (inputs == 0) {
        std::fprintf(stderr, "%s: no inputs in %s\n", argv0, folder.c_str());
        return 1;
    }
    std::printf("campaign corpus replay %s: %zu inputs: 0 crashes, 0 checks failed\n",
                programName(argv0).c_str(), inputs);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE|FOLDER... | --replay FOLDER\n", argv[0]);
        return 2;
    }
    if (std::strcmp(argv[1], "--replay") == 0) {
        return argc == 3 ? replay(argv[0], argv[2]) : 2;
    }
    const bool full = fullCampaign();
    Figures figures;
    for (int i = 1; i < argc; ++i) {
        for (const std::filesystem::path& path :
             filesIn<std::filesystem::directory_iterator>(argv[i])) {
            Bytes sample;
            if (!readSample(path, sample)) {
                std::fprintf(stderr, "%s: cannot read %s\n", argv[0], path.c_str());
                return 1;
            }
            ++figures.samples;
            run(sample);
            truncations(sample, full, figures);
            bitFlips(sample, full, figures);
            oversizedFields(sample, figures);
        }
    }
    if (figures.samples == 0) {
        std::fprintf(stderr, "%s: no samples found\n", argv[0]);
        return 1;
    }
    const std::string name = programName(argv[0]);
    std::printf("campaign hostile files %s: %zu samples, %zu truncations, %zu bit flips, %zu "
                "oversized fields: 0 crashes, 0 checks failed%s\n",
                name.c_str(), figures.samples, figures.truncations, figures.bitFlips,
                figures.oversized, full ? "" : " (short)");
    return 0;
}
