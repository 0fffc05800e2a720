// The whole-file reader's failures, each made to happen by the fault
// layer: the status it answers, nothing left acquired, and the message an
// installer action shows for that status.
#include <gtest/gtest.h>

#include <string>

#include "dictionary/dictionary_file.h"
#include "fault_injection.h"
#include "edge/answers.h"
#include "message_capture.h"
#include "test_files.h"

namespace dorvan::test {
namespace {

using fault::Fault;
using fault::Operation;

class ReaderFaults : public testing::Test {
protected:
    void SetUp() override
    {
        WriteFileBytes(path_, ToBytes("LBTG\x04...Pols"));
        fault::Reset();
    }
    void TearDown() override
    {
        fault::Reset();
        EXPECT_EQ(0, fault::OpenHandles());
        EXPECT_EQ(0, fault::LiveBlocks());
    }

    TempDirectory folder_;
    std::filesystem::path path_ = folder_ / "Geodict.dct";
};

// Each failure of the reader: its status, the message shown for it with
// an owner window (none without one), with the path where it names one.
TEST_F(ReaderFaults, EachFailureAnswersItsStatusAndShowsItsMessageOnlyWithAnOwner)
{
    const std::string path = path_.string();
    struct Case {
        Operation operation;
        Fault kind;
        StatusCode expected;
        std::string message;
    };
    const Case cases[] = {
        {Operation::Open, Fault::Fail, StatusCode::CannotOpen,
         "Wystąpił błąd podczas próby otwarcia pliku \"" + path + "\"."},
        {Operation::Length, Fault::Fail, StatusCode::CannotSize, "Błąd odczytu pliku \"" + path + "\"."},
        {Operation::Allocate, Fault::Fail, StatusCode::NoMemory, "Za mało pamięci do przeprowadzenia operacji."},
        {Operation::Read, Fault::Fail, StatusCode::ReadFailed, "Błąd odczytu pliku \"" + path + "\"."},
        {Operation::Read, Fault::Short, StatusCode::ReadFailed, "Błąd odczytu pliku \"" + path + "\"."},
    };
    for (const Case &c : cases) {
        for (void *owner : {TestOwnerWindow(), static_cast<void *>(nullptr)}) {
            MessageCapture capture;
            fault::Arm(c.operation, 1, c.kind);
            Status status;
            {
                WholeFile file;
                status = ReadWholeFile(path.c_str(), platform::FileMode::ReadWrite, FileRole::Dictionary, file);
                EXPECT_FALSE(file.handle.IsOpen());
            }
            EXPECT_TRUE(fault::Triggered());
            fault::Reset();
            EXPECT_EQ(c.expected, status.code) << c.message;
            EXPECT_EQ(FileRole::Dictionary, status.file);
            EXPECT_EQ(0, AnswerInstallerAction(owner, status, {folder_.Name().c_str()}));
            if (!owner) {
                EXPECT_TRUE(capture.Messages().empty()) << "a null owner window keeps " << c.message << " silent";
                continue;
            }
            ASSERT_EQ(1u, capture.Messages().size()) << c.message;
            EXPECT_EQ(c.message, capture.Messages()[0].text);
            EXPECT_EQ(TestOwnerWindow(), capture.Messages()[0].owner);
            EXPECT_EQ("Instalacja RodOvodovidor", capture.Messages()[0].caption);
        }
    }
}

TEST_F(ReaderFaults, AReadThatHandsOverLessIsContinued)
{
    fault::Arm(Operation::Read, 1, Fault::Partial);
    WholeFile file;
    ASSERT_TRUE(ReadWholeFile(path_.string().c_str(), platform::FileMode::ReadOnly, FileRole::Dictionary, file).Ok());
    EXPECT_TRUE(fault::Triggered());
    EXPECT_EQ(ToBytes("LBTG\x04...Pols"), Bytes(file.begin(), file.end()));
}

}  // namespace
}  // namespace dorvan::test
