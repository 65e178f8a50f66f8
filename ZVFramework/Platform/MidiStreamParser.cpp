#include "Platform/MidiStreamParser.h"

#include "Platform/MidiMessage.h"

namespace ZV::Platform {

namespace {

constexpr std::uint8_t FirstRealTimeByte = 0xF8;
constexpr std::uint8_t FirstSystemByte = 0xF0;
constexpr std::uint8_t StatusBit = 0x80;

MidiParsedByte ShortMessageOf(std::uint32_t packed, bool cutsSysEx)
{
    MidiParsedByte parsed;
    parsed.CutsSysExShort = cutsSysEx;
    parsed.CompletesShortMessage = true;
    parsed.ShortMessage = packed;
    return parsed;
}

}  // namespace

MidiParsedByte MidiStreamParser::Feed(std::uint8_t byte)
{
    if (byte >= FirstRealTimeByte) {
        return ShortMessageOf(byte, false);
    }
    if (byte == MidiSysExStart) {
        MidiParsedByte parsed;
        parsed.CutsSysExShort = mInSysEx;
        parsed.IsSysExByte = true;
        mInSysEx = true;
        mRunningStatus = 0;
        mPendingCount = 0;
        return parsed;
    }
    if (byte == MidiSysExEnd) {
        MidiParsedByte parsed;
        parsed.IsSysExByte = mInSysEx;
        mInSysEx = false;
        return parsed;
    }
    if ((byte & StatusBit) != 0) {
        const bool cutsSysEx = mInSysEx;
        mInSysEx = false;
        return TakeStatus(byte, cutsSysEx);
    }
    if (mInSysEx) {
        MidiParsedByte parsed;
        parsed.IsSysExByte = true;
        return parsed;
    }
    return TakeData(byte);
}

void MidiStreamParser::Reset()
{
    mInSysEx = false;
    mRunningStatus = 0;
    mPendingCount = 0;
}

MidiParsedByte MidiStreamParser::TakeStatus(std::uint8_t status, bool cutsSysEx)
{
    // System common messages end running status; channel messages set it.
    mRunningStatus = status < FirstSystemByte ? status : 0;
    mPendingLength = GetShortMessageLength(status);
    if (mPendingLength == 1) {
        mPendingCount = 0;
        return ShortMessageOf(status, cutsSysEx);
    }
    mPending[0] = status;
    mPendingCount = 1;
    MidiParsedByte parsed;
    parsed.CutsSysExShort = cutsSysEx;
    return parsed;
}

MidiParsedByte MidiStreamParser::TakeData(std::uint8_t data)
{
    if (mPendingCount == 0) {
        if (mRunningStatus == 0) {
            return {};
        }
        mPending[0] = mRunningStatus;
        mPendingCount = 1;
        mPendingLength = GetShortMessageLength(mRunningStatus);
    }
    mPending[mPendingCount++] = data;
    if (mPendingCount < mPendingLength) {
        return {};
    }
    mPendingCount = 0;
    return ShortMessageOf(PackShortMessage(mPending.data(), mPendingLength), false);
}

}  // namespace ZV::Platform
