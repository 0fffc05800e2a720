// Record removal: the record walk's rules on hand-made dictionaries, and
// the one-pass removal against the step-by-step model on generated ones.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "bytes/byte_search.h"
#include "dictionary/dictionary_records.h"
#include "dictionary_builder.h"
#include "reference_models.h"
#include "test_files.h"

namespace dorvan::test {
namespace {

const char Name[] = "Pols0000.GST";

struct Outcome {
    Bytes data;
    bool removed;
};

Outcome Remove(Bytes data, const char *name = Name, NameMatching matching = NameMatching::Exact)
{
    RemovalResult result = RemoveMatchingRecords(data.data(), static_cast<int32_t>(data.size()), name, matching);
    data.resize(static_cast<size_t>(result.newLength));
    return {data, result.removed};
}

const Bytes Kept = MakeRecord("Wlochy.GST");
const Bytes Named = MakeRecord("Pols0000.GST");
const Bytes Opaque = ToBytes("\x00\x01opaque\xff");

TEST(RecordRemoval, AdjacentMatchingRecordsAreBothRemoved)
{
    Outcome out = Remove(Concat({Kept, Named, Named, Kept}));
    EXPECT_TRUE(out.removed);
    EXPECT_EQ(Concat({Kept, Kept}), out.data);
}

TEST(RecordRemoval, BytesOutsideRecordsSurviveAndMoveDown)
{
    Outcome out = Remove(Concat({Opaque, Named, Opaque, Kept, Named, Opaque}));
    EXPECT_EQ(Concat({Opaque, Opaque, Kept, Opaque}), out.data);
}

TEST(RecordRemoval, AMatchingLastRecordEndsTheFileAtItsTag)
{
    EXPECT_EQ(Concat({Kept, Opaque}), Remove(Concat({Kept, Opaque, Named})).data);
}

TEST(RecordRemoval, EveryRecordMatchingLeavesNothing)
{
    Outcome out = Remove(Concat({Named, Named, Named}));
    EXPECT_TRUE(out.removed);
    EXPECT_TRUE(out.data.empty());
}

TEST(RecordRemoval, NothingRemovedWithoutATagOrAMatch)
{
    Outcome none = Remove(ToBytes("no records here Pols0000.GST"));
    EXPECT_FALSE(none.removed);
    EXPECT_EQ(ToBytes("no records here Pols0000.GST"), none.data);
    EXPECT_FALSE(Remove(Concat({Kept, Kept})).removed);
    EXPECT_FALSE(Remove(Concat({Named}), "").removed);
}

TEST(RecordRemoval, ANameOutsideEveryRecordSpanIsNotLookedFor)
{
    // Length byte 0: the record spans 8 bytes, and the name after it is
    // opaque data.
    Bytes shortRecord = Concat({MakeRawRecord(0, ToBytes("abc")), ToBytes("Pols0000.GST")});
    EXPECT_FALSE(Remove(shortRecord).removed);
    // The name straddling a record's end does not count either.
    Bytes straddling = Concat({MakeRawRecord(4, ToBytes("...Pols00")), ToBytes("00.GST")});
    EXPECT_FALSE(Remove(straddling).removed);
}

TEST(RecordRemoval, ATagInsideARecordIsNotARecord)
{
    // The inner tag lies in a kept record's span; the name after it, past
    // the span, belongs to no record.
    Bytes data = Concat({MakeRecord("xxLBTG\x20"), ToBytes("Pols0000.GST")});
    EXPECT_FALSE(Remove(data).removed);
}

TEST(RecordRemoval, ALengthRunningPastTheEndIsSearchedUpToTheEndOnly)
{
    Bytes runsOn = Concat({Kept, MakeRawRecord(200, ToBytes("...Pols0000.GST"))});
    Outcome out = Remove(runsOn);
    EXPECT_TRUE(out.removed);
    EXPECT_EQ(Kept, out.data);
    // A tag in the last four bytes has no length byte and reaches the end.
    Outcome bareTag = Remove(Concat({Opaque, ToBytes("LBTG")}), "BTG");
    EXPECT_TRUE(bareTag.removed);
    EXPECT_EQ(Opaque, bareTag.data);
}

TEST(RecordRemoval, FoldedMatchingRemovesEveryLetterCase)
{
    Bytes data = Concat({MakeRecord("POLS0000.gst"), Kept, Named});
    EXPECT_EQ(Concat({MakeRecord("POLS0000.gst"), Kept}), Remove(data).data);
    EXPECT_EQ(Kept, Remove(data, "pols0000.GST", NameMatching::AnyAsciiCase).data);
}

TEST(RecordRemovalModel, AgreesWithTheStepByStepWalkOnGeneratedDictionaries)
{
    std::mt19937 random(7);
    const char *names[] = {Name, "LBTG", "G", "0000", "TG"};
    for (int round = 0; round < 4000; ++round) {
        const char *name = names[round % 5];
        Bytes data = RandomDictionary(random, name, 1 + random() % 30);
        for (bool foldCase : {false, true}) {
            ReferenceRemoval expected = ReferenceRemoveRecords(data, name, foldCase);
            Outcome out = Remove(data, name, foldCase ? NameMatching::AnyAsciiCase : NameMatching::Exact);
            ASSERT_EQ(expected.removed, out.removed) << "round " << round;
            ASSERT_EQ(expected.data, out.data) << "round " << round << (foldCase ? " folded" : " exact");
        }
    }
}

}  // namespace
}  // namespace dorvan::test
