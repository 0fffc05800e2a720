// The message table and the two message routines, read back from the
// boxes actually shown.
#include <gtest/gtest.h>

#include <string>

#include "edge/answers.h"
#include "edge/messages.h"
#include "message_capture.h"
#include "platform/file_access.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/module_instance.h"
#endif

namespace dorvan::test {
namespace {

const char Caption[] = "Instalacja RodOvodovidor";

struct PlainText {
    unsigned id;
    const char *text;
};

// Typed independently of the library's own table.
const PlainText PlainTexts[] = {
    {16, "Czy na pewno przerwać instalację?"},
    {17, "Instalacja zostaje przerwana. Najpierw zainstaluj Microsoft Map dostarczany wraz z Microsoft Office."},
    {18, "Nie mogę określić ścieżki do danych programu Microsoft Map.\nSpróbuj najpierw wstawić mapę w programie Excel."},
    {21, "Za mało pamięci do przeprowadzenia operacji."},
    {24, "Błąd podczas odczytu rejestrów systemu."},
};

const PlainText FormattedTexts[] = {
    {19, "Plik zestawu map: \"C:\\Mapy\\Geodict.dct\" nie istnieje."},
    {20, "Wystąpił błąd podczas próby otwarcia pliku \"C:\\Mapy\\Geodict.dct\"."},
    {22, "Błąd odczytu pliku \"C:\\Mapy\\Geodict.dct\"."},
    {23, "Błąd zapisu do pliku \"C:\\Mapy\\Geodict.dct\"."},
};

#ifdef _WIN32
TEST(MessageTable, RunsInThePolishAnsiCodePage)
{
    EXPECT_EQ(1250u, GetACP()) << "run the Windows tests with LC_ALL=pl_PL.UTF-8";
}
#endif

TEST(MessageTable, EveryPlainTextShowsExactlyWithCaptionOwnerAndStyle)
{
    for (const PlainText &expected : PlainTexts) {
        MessageCapture capture;
        ShowMessage(TestOwnerWindow(), expected.id, StopStyle);
        ASSERT_EQ(1u, capture.Messages().size()) << "message " << expected.id;
        const ShownMessage &shown = capture.Messages()[0];
        EXPECT_EQ(expected.text, shown.text) << "message " << expected.id;
        EXPECT_EQ(ToAnsi(expected.text), shown.ansiText) << "message " << expected.id;
        EXPECT_EQ(Caption, shown.caption);
        EXPECT_EQ(TestOwnerWindow(), shown.owner);
        if (StyleIsObservable()) {
            EXPECT_EQ(0x10u, shown.style);
        }
    }
}

TEST(MessageTable, EveryFormattedTextCarriesThePathBetweenItsQuotes)
{
    for (const PlainText &expected : FormattedTexts) {
        MessageCapture capture;
        ShowFormattedMessage(TestOwnerWindow(), expected.id, StopStyle, "C:\\Mapy\\Geodict.dct");
        ASSERT_EQ(1u, capture.Messages().size()) << "message " << expected.id;
        EXPECT_EQ(expected.text, capture.Messages()[0].text) << "message " << expected.id;
        EXPECT_EQ(ToAnsi(expected.text), capture.Messages()[0].ansiText) << "message " << expected.id;
        EXPECT_EQ(Caption, capture.Messages()[0].caption);
    }
}

TEST(MessageTable, PercentSignsInTheInsertAreShownUnchanged)
{
    MessageCapture capture;
    ShowFormattedMessage(TestOwnerWindow(), MessageDictionaryMissing, StopStyle, "C:\\100%\\%1%2%%\\Geodict.dct");
    ASSERT_EQ(1u, capture.Messages().size());
    EXPECT_EQ("Plik zestawu map: \"C:\\100%\\%1%2%%\\Geodict.dct\" nie istnieje.", capture.Messages()[0].text);
}

TEST(MessageTable, NationalLettersInTheInsertArePassedThrough)
{
    MessageCapture capture;
    const std::string path = ToAnsi("C:\\Mapy Łódź\\Geodict.dct");
    ShowFormattedMessage(nullptr, MessageWriteFailed, StopStyle, path.c_str());
    ASSERT_EQ(1u, capture.Messages().size());
    EXPECT_EQ("Błąd zapisu do pliku \"C:\\Mapy Łódź\\Geodict.dct\".", capture.Messages()[0].text);
    EXPECT_EQ(nullptr, capture.Messages()[0].owner);
}

TEST(MessageTable, AMissingResourceShowsAnEmptyBox)
{
    MessageCapture capture;
    ShowMessage(nullptr, 99, StopStyle);
    ShowFormattedMessage(nullptr, 15, StopStyle, "path");
    ASSERT_EQ(2u, capture.Messages().size());
    EXPECT_EQ("", capture.Messages()[0].text);
    EXPECT_EQ("", capture.Messages()[1].text);
    EXPECT_EQ(Caption, capture.Messages()[1].caption);
}

// Every status an export can end with: the box an installer action shows
// (once, and only with an owner window where so marked), and the message's
// id and text a DorvanSetup.dll export answers with instead.
TEST(Answers, EachStatusShowsOrAnswersItsMessage)
{
    const std::string directory(300, 'd');
    struct Case {
        Status status;
        int id;
        std::string text;
        bool ownerOnly;
        std::string mapDataDir = "C:\\Mapy\\";
    };
    constexpr FileRole dictionary = FileRole::Dictionary;
    const Case cases[] = {
        {StatusOf(StatusCode::HostNotFound), 17, PlainTexts[1].text, false},
        {StatusOf(StatusCode::RegistryKeyNotMade), 24, PlainTexts[4].text, false},
        {StatusOf(StatusCode::FileMissing, dictionary), 19, FormattedTexts[0].text, false},
        {StatusOf(StatusCode::FileMissing, dictionary), 19,
         "Plik zestawu map: \"" + directory + platform::PathSeparator + "Geodict.dct\" nie istnieje.", false, directory},
        {StatusOf(StatusCode::CannotOpen, dictionary), 20, FormattedTexts[1].text, true},
        {StatusOf(StatusCode::JournalStuck, FileRole::Journal), 20, FormattedTexts[1].text, true},
        {StatusOf(StatusCode::NoMemory, dictionary), 21, PlainTexts[3].text, true},
        {StatusOf(StatusCode::CannotSize, dictionary), 22, FormattedTexts[2].text, true},
        {StatusOf(StatusCode::ReadFailed, dictionary), 22, FormattedTexts[2].text, true},
        {StatusOf(StatusCode::WriteFailed, FileRole::NumberedCopy), 23, FormattedTexts[3].text, false},
        {StatusOf(StatusCode::WriteFailed, dictionary), 23, FormattedTexts[3].text, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        for (void *owner : {TestOwnerWindow(), static_cast<void *>(nullptr)}) {
            MessageCapture capture;
            EXPECT_EQ(0, AnswerInstallerAction(owner, c.status, {c.mapDataDir.c_str()}));
            if (c.ownerOnly && !owner) {
                EXPECT_TRUE(capture.Messages().empty());
                continue;
            }
            ASSERT_EQ(1u, capture.Messages().size());
            EXPECT_EQ(c.text, capture.Messages()[0].text);
            EXPECT_EQ(owner, capture.Messages()[0].owner);
            EXPECT_EQ(Caption, capture.Messages()[0].caption);
        }
        wchar_t text[400];
        EXPECT_EQ(c.id, AnswerWithText(c.status, {c.mapDataDir.c_str()}, text, 400));
        EXPECT_EQ(c.text, WideToUtf8(text));
    }
    MessageCapture capture;
    EXPECT_EQ(1, AnswerInstallerAction(TestOwnerWindow(), Success));
    EXPECT_TRUE(capture.Messages().empty());
}

// A text answer cut to the buffer keeps its id and its terminator.
TEST(Answers, ATextIsCutToTheBufferAndSuccessAnswersNone)
{
    const Status failed = StatusOf(StatusCode::WriteFailed, FileRole::Dictionary);
    const CallInputs inputs{"C:\\Mapy\\"};
    wchar_t text[300];
    // 25 characters and the terminator, the path cut too.
    EXPECT_EQ(23, AnswerWithText(failed, inputs, text, 26));
    EXPECT_EQ("Błąd zapisu do pliku \"C:\\", WideToUtf8(text));
    EXPECT_EQ(23, AnswerWithText(failed, inputs, nullptr, 0));
    text[0] = L'x';
    EXPECT_EQ(0, AnswerWithText(Success, inputs, text, 300));
    EXPECT_EQ(L'\0', text[0]);
}

#ifdef _WIN32
TEST(LibraryEntry, OnlyProcessAttachStoresTheModuleAndEveryReasonSucceeds)
{
    using platform::HandleLibraryEntry;
    using platform::ModuleInstance;
    void *const saved = ModuleInstance;
    int module = 0, other = 0;
    EXPECT_EQ(1, HandleLibraryEntry(&module, 1));
    EXPECT_EQ(&module, ModuleInstance);
    for (unsigned long reason : {0ul, 2ul, 3ul, 7ul}) {
        EXPECT_EQ(1, HandleLibraryEntry(&other, reason)) << "reason " << reason;
        EXPECT_EQ(&module, ModuleInstance) << "reason " << reason;
    }
    ModuleInstance = saved;
}
#endif

}  // namespace
}  // namespace dorvan::test
