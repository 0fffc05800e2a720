// A real short write: a child process whose file size limit stops the
// append half-way. The dictionary must come back exactly as it was.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "dictionary_builder.h"
#include "library_exports.h"
#include "message_capture.h"
#include "test_files.h"

namespace dorvan::test {
namespace {

class ShortAppend : public testing::Test {
protected:
    void SetUp() override
    {
        WriteFileBytes(data_ / "Geodict.dct", dictionary_);
        WriteFileBytes(source_ / "GeoExt.gxt", entry_);
    }

    // Runs `call` in a child whose files may not grow past the dictionary
    // and half the entry; the child's exit status is what `call` returns.
    template <typename Call>
    int RunLimited(Call call)
    {
        pid_t child = fork();
        if (child == 0) {
            signal(SIGXFSZ, SIG_IGN);
            rlimit limit{};
            limit.rlim_cur = limit.rlim_max = dictionary_.size() + entry_.size() / 2;
            setrlimit(RLIMIT_FSIZE, &limit);
            _exit(call());
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    TempDirectory data_, source_;
    const Bytes dictionary_ = Concat({MakeRecord("Wlochy.GST"), MakeRecord("Niemcy.GST")});
    const Bytes entry_ = Concat({MakeRecord("Pols0000.GST"), Bytes(4000, 'e')});
};

TEST_F(ShortAppend, InstallCutsThePartialEntryBackAndShowsMessage23)
{
    const std::string expected = "Błąd zapisu do pliku \"" + (data_ / "Geodict.dct").string() + "\".";
    int outcome = RunLimited([&] {
        MessageCapture capture;
        unsigned char result = Library().SetGeoDict(nullptr, "", source_.Name().c_str(), data_.Name().c_str(), "");
        bool shown = capture.Messages().size() == 1 && capture.Messages()[0].text == expected;
        return result * 10 + (shown ? 1 : 0);
    });
    EXPECT_EQ(1, outcome) << "result 0 and message 23 shown";
    EXPECT_EQ(dictionary_, ReadFileBytes(data_ / "Geodict.dct"));
    EXPECT_EQ(dictionary_, ReadFileBytes(data_ / "Geodict.000"));
}

TEST_F(ShortAppend, GlueCutsThePartialFileBackAndAnswersMinusOne)
{
    int outcome = RunLimited([&] {
        MessageCapture capture;
        int result = Library().GeoDictGlue(data_.Name().c_str(), (source_ / "GeoExt.gxt").string().c_str());
        return (result == -1 ? 10 : 0) + (capture.Messages().empty() ? 1 : 0);
    });
    EXPECT_EQ(11, outcome) << "result -1 and nothing shown";
    EXPECT_EQ(dictionary_, ReadFileBytes(data_ / "Geodict.dct"));
    EXPECT_EQ(std::vector<std::string>{"Geodict.dct"}, data_.Listing());
}

}  // namespace
}  // namespace dorvan::test
