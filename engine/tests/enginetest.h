// The fixture of the lookup tests: an engine opened on a dictionary the writer made, with GB as
// the current code page.
#ifndef LEXORA_ENGINE_ENGINETEST_H
#define LEXORA_ENGINE_ENGINETEST_H

#include "engine.h"
#include "testfiles.h"

#include "cpconv.h"

#include <gtest/gtest.h>
#include <memory>

class EngineTest : public testing::Test {
  protected:
    void open(const std::vector<testfiles::EnglishEntry>& entries,
              const std::vector<testfiles::ChineseWord>& words = {}) {
        file = std::make_unique<testfiles::TempFile>(
            lexora::libwriter::writeLibrary(entries, words, {}));
        engine = std::make_unique<lxtran::Engine>();
        std::string error;
        ASSERT_TRUE(engine->library.open(file->path().c_str(), error)) << error;
        CPC_SetCodePage(CPC_PAGE_GB);
    }

    std::unique_ptr<testfiles::TempFile> file;
    std::unique_ptr<lxtran::Engine> engine;
};

#endif
