// Loading lxtran: it opens LEXORA.LIB beside itself and refuses to load without a usable one.
#include "engine.h"
#include "lxtran.h"
#include "testfiles.h"

#include <filesystem>
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

using namespace testfiles;
namespace fs = std::filesystem;

namespace {

fs::path builtLibrary() {
#ifdef _WIN32
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    return fs::path(self).parent_path() / "lxtran.dll";
#else
    return LXTRAN_LIBRARY_PATH;
#endif
}

// A copy of lxtran loaded from the directory of a dictionary file; empty reason when it loaded.
class LoadedCopy {
  public:
    explicit LoadedCopy(const fs::path& directory) {
        fs::path copy = directory / ("copy-" + builtLibrary().filename().string());
        fs::copy_file(builtLibrary(), copy, fs::copy_options::overwrite_existing);
#ifdef _WIN32
        handle_ = LoadLibraryA(copy.string().c_str());
        if (!handle_) reason = "refused";
#else
        handle_ = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle_) {
            reason = dlerror();
            return;
        }
        auto failure = reinterpret_cast<int (*)(char*, int)>(dlsym(handle_, "LXaLoadFailure"));
        char text[512] = "";
        if (!failure || failure(text, sizeof text) > 0)
            reason = failure ? text : "no LXaLoadFailure";
#endif
    }
    ~LoadedCopy() {
#ifdef _WIN32
        if (handle_) FreeLibrary(static_cast<HMODULE>(handle_));
#else
        if (handle_) dlclose(handle_);
#endif
    }
    std::string reason;

  private:
    void* handle_ = nullptr;
};

std::vector<uint8_t> smallDictionary() {
    return lexora::libwriter::writeLibrary(entriesFor({"ant", "bee"}), {{"\xb0\xa1", {1}}}, {});
}

TEST(Module, LoadsBesideAGoodDictionaryAndSharesItsBlock) {
    TempFile dictionary(smallDictionary());
    LoadedCopy loaded(dictionary.directory());
    EXPECT_EQ(loaded.reason, "");

    // The block's creator set its rectangle and the two words after it to -1.
    lx::platform::SharedBlock block;
    std::string error;
    ASSERT_TRUE(
        lx::platform::openSharedBlock("lxtran.sharedata", lxtran::kSharedBlockSize, block, error));
    const int32_t* words = static_cast<const int32_t*>(block.data);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(words[i], -1) << i;
    EXPECT_EQ(words[6], 0);
    lx::platform::closeSharedBlock(block);
}

TEST(Module, RefusesToLoadWithoutAUsableDictionary) {
    TempFile elsewhere(smallDictionary(), "OTHER.LIB");
    LoadedCopy missing(elsewhere.directory());
    EXPECT_NE(missing.reason, "");

    std::vector<uint8_t> damaged = smallDictionary();
    damaged[0] = 'X';
    TempFile wrongSignature(damaged);
    LoadedCopy refused(wrongSignature.directory());
    EXPECT_NE(refused.reason, "");

    TempFile empty(std::vector<uint8_t>{});
    LoadedCopy emptyFile(empty.directory());
    EXPECT_NE(emptyFile.reason, "");
}

} // namespace
