#include "dictionary_builder.h"

namespace dorvan::test {

Bytes MakeRecord(const std::string &text)
{
    Bytes record = ToBytes("LBTG");
    record.push_back(static_cast<uint8_t>(text.size()));
    record.insert(record.end(), {0x01, 0x02, 0x03});
    record.insert(record.end(), text.begin(), text.end());
    return record;
}

Bytes MakeRawRecord(uint8_t lengthByte, const Bytes &rest)
{
    Bytes record = ToBytes("LBTG");
    record.push_back(lengthByte);
    record.insert(record.end(), rest.begin(), rest.end());
    return record;
}

Bytes RandomDictionary(std::mt19937 &random, const std::string &name, size_t pieces)
{
    auto pick = [&](int bound) { return static_cast<int>(random() % static_cast<unsigned>(bound)); };
    auto noise = [&](int length) {
        Bytes bytes;
        for (int i = 0; i < length; ++i)
            bytes.push_back(static_cast<uint8_t>(pick(4) == 0 ? "LBTGPols0."[pick(10)] : pick(256)));
        return bytes;
    };
    std::string otherCase = name;
    for (char &c : otherCase)
        if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z')
            c ^= 0x20;

    Bytes data;
    for (size_t i = 0; i < pieces; ++i) {
        Bytes piece;
        switch (pick(9)) {
        case 0:
        case 1:
            piece = MakeRecord(std::string(pick(6), 'x') + name + std::string(pick(20), 'y'));
            break;
        case 2:
            piece = MakeRecord(otherCase);
            break;
        case 3:
            piece = MakeRecord(std::string(pick(40), 'z'));
            break;
        case 4:  // a record holding another tag inside its span
            piece = MakeRecord("..LBTG" + std::string(1, static_cast<char>(pick(256))) + name.substr(0, pick(1 + static_cast<int>(name.size()))));
            break;
        case 5:  // a length byte that runs on into what follows
            piece = MakeRawRecord(static_cast<uint8_t>(pick(256)), noise(pick(12)));
            break;
        case 6:
            piece = ToBytes("LBTG");
            break;
        default:
            piece = noise(pick(30));
            break;
        }
        data.insert(data.end(), piece.begin(), piece.end());
    }
    return data;
}

namespace {

uint64_t JournalChecksum(const uint8_t *bytes, size_t count)
{
    uint64_t sum[4] = {1, 1, 1, 1}, sumOfSums[4] = {};
    for (size_t i = 0; i < count; i += 8) {
        uint64_t word = 0;
        for (size_t k = 0; k < 8 && i + k < count; ++k)
            word |= uint64_t{bytes[i + k]} << (8 * k);
        const size_t lane = (i / 8) % 4;
        sum[lane] += word;
        sumOfSums[lane] += sum[lane];
    }
    uint64_t value = 0;
    for (int lane = 0; lane < 4; ++lane)
        value = (value ^ sum[lane] ^ (sumOfSums[lane] * 0x9E3779B97F4A7C15u)) * 0xFF51AFD7ED558CCDu;
    return value;
}

void PutLittleEndian(Bytes &out, uint64_t value, int size)
{
    for (int i = 0; i < size; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

Bytes MakeJournal(const Bytes &old, uint32_t firstChanged)
{
    Bytes journal = ToBytes("DorvanJ1");
    PutLittleEndian(journal, old.size(), 4);
    PutLittleEndian(journal, firstChanged, 4);
    PutLittleEndian(journal, JournalChecksum(old.data() + firstChanged, old.size() - firstChanged), 8);
    const size_t prefixStart = firstChanged > 4096 ? firstChanged - 4096 : 0;
    PutLittleEndian(journal, JournalChecksum(old.data() + prefixStart, firstChanged - prefixStart), 8);
    PutLittleEndian(journal, JournalChecksum(journal.data(), journal.size()), 8);
    journal.insert(journal.end(), old.begin() + firstChanged, old.end());
    return journal;
}

}  // namespace dorvan::test
