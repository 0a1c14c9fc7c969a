// The main of every test program: each run gets a scratch folder of its own,
// made here and removed at the end, so that runs side by side (two builds, two
// checkouts, ctest -j) never share a file, and no test touches the user's own
// settings, replays or caches.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

// Points an XDG (or HOME) variable at a new folder inside the scratch folder.
bool PointAt(const std::string& scratch, const char* variable, const char* name) {
    const std::string folder = scratch + "/" + name;
    return mkdir(folder.c_str(), 0700) == 0 && setenv(variable, folder.c_str(), 1) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && base[0] == '/' ? base : "/tmp") + "/kivoro_test_XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("kivoro tests: cannot make a scratch folder");
        return 1;
    }
    const std::string scratch = pattern;
    // ::testing::TempDir() reads TEST_TMPDIR, std::filesystem::temp_directory_path()
    // and the programs the tests start read TMPDIR.
    const std::string temporary = scratch + "/tmp";
    if (mkdir(temporary.c_str(), 0700) != 0 || setenv("TMPDIR", temporary.c_str(), 1) != 0 ||
        setenv("TEST_TMPDIR", (temporary + "/").c_str(), 1) != 0 ||
        !PointAt(scratch, "HOME", "home") || !PointAt(scratch, "XDG_CONFIG_HOME", "config") ||
        !PointAt(scratch, "XDG_DATA_HOME", "data") ||
        !PointAt(scratch, "XDG_CACHE_HOME", "cache") ||
        !PointAt(scratch, "XDG_RUNTIME_DIR", "runtime")) {
        std::perror("kivoro tests: cannot set up the scratch folder");
        return 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
    return result;
}
