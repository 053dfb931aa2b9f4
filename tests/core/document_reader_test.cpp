// Readers refuse what is not theirs before reading it: no wait on a FIFO, no
// read of a huge file past its signature or its terminator.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "FakeHost.h"
#include "TempDir.h"
#include "anim/ScriptReader.h"
#include "model/DocumentFile.h"
#include "model/VelmoraDoc.h"
#include "platform/FileErrors.h"

using namespace velmora;
using velmora::test::FakeHost;
using velmora::test::TempDir;
using velmora::test::WriteBytes;

namespace {

constexpr std::uintmax_t kHuge = std::uintmax_t{8} << 30;  // far more than could be read in a test

bool Sparse(const std::string& path, const std::vector<std::uint8_t>& start) {
    WriteBytes(path, start);
    return ::truncate(path.c_str(), static_cast<off_t>(kHuge)) == 0;
}

struct ReadCase {
    const char* name;
    std::function<bool(const std::string&)> make;  // false: the system cannot make it here
    bool opens;
    std::function<std::string(const std::string&)> message;  // for a refusal
};

const ReadCase kReadCases[] = {
    {"Fifo", [](const std::string& p) { return ::mkfifo(p.c_str(), 0644) == 0; }, false,
     [](const std::string& p) { return FileErrorMessage(p, std::make_error_code(std::errc::not_supported), FileOp::Read); }},
    {"Folder", [](const std::string& p) { return std::filesystem::create_directory(p); }, false,
     [](const std::string& p) { return FileErrorMessage(p, std::make_error_code(std::errc::is_a_directory), FileOp::Read); }},
    {"HugeWithWrongSignature", [](const std::string& p) { return Sparse(p, {'V', 'M', 'R', '1', '1'}); }, false,
     [](const std::string&) { return std::string("Unexpected file format."); }},
    {"HugeDocumentStopsAtItsTerminator", [](const std::string& p) { return Sparse(p, {'V', 'M', 'R', '1', '0'}); },
     true, nullptr},
};

class DocumentReader : public ::testing::TestWithParam<ReadCase> {};

TEST_P(DocumentReader, RefusesOrReadsOnlyWhatTheFormatHolds) {
    const ReadCase& c = GetParam();
    TempDir dir;
    const std::string path = dir.File("x.vmr");
    if (!c.make(path)) GTEST_SKIP() << "this system cannot make the case";
    FakeHost host;
    host.allowMessages = true;
    CVelmoraDoc doc(host);
    doc.OnNewDocument();
    doc.m_params.iterations = 77;  // a refusal before reading leaves the document alone
    EXPECT_EQ(doc.OnOpenDocument(path), c.opens);
    if (c.opens) {
        EXPECT_TRUE(host.messages.empty());
        EXPECT_EQ(doc.GetKeyframeCount(), 0);
        EXPECT_EQ(doc.m_params.iterations, 0);  // the zero header as stored
    } else {
        EXPECT_EQ(host.LastText(), c.message(path));
    }
    if (!std::filesystem::is_regular_file(path)) {
        // The player's script reader refuses it too, without waiting.
        PlayScript script;
        std::error_code cause;
        EXPECT_FALSE(ReadScriptFile(path, script, cause));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, DocumentReader, ::testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
