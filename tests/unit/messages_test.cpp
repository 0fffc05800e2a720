// The message table and the two message routines, read back from the
// boxes actually shown.
#include <gtest/gtest.h>

#include <string>

#include "frame/messages.h"
#include "frame/module_instance.h"
#include "message_capture.h"

#ifdef _WIN32
#include <windows.h>
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

TEST(LibraryEntry, OnlyProcessAttachStoresTheModuleAndEveryReasonSucceeds)
{
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

}  // namespace
}  // namespace dorvan::test
