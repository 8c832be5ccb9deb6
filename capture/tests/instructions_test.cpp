// The instruction decoder and the moving of a routine's first instructions: lengths of real
// instructions, the fix-ups that keep targets where they were, the refusals, and moved code run
// for real.
#include "instructions.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using lxsys::decodeInstruction;
using lxsys::Instruction;
using lxsys::InstructionKind;
using lxsys::RelocatedCode;
using lxsys::relocateInstructions;
using Bytes = std::vector<uint8_t>;

std::string hex(const Bytes& bytes) {
    std::string text;
    for (uint8_t byte : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X ", byte);
        text += digits;
    }
    return text;
}

Instruction decode(const Bytes& bytes) {
    return decodeInstruction(bytes.data(), bytes.size());
}

int32_t int32At(const uint8_t* bytes) {
    int32_t value = 0;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

struct Sample {
    Bytes bytes;
    size_t length;
    InstructionKind kind;
};

TEST(Instructions, LengthsOfPrologueAndEverydayInstructions) {
    const Sample samples[] = {
        {{0x55}, 1, InstructionKind::Plain},                   // push rbp
        {{0x41, 0x54}, 2, InstructionKind::Plain},             // push r12
        {{0x41, 0x5F}, 2, InstructionKind::Plain},             // pop r15
        {{0x48, 0x83, 0xEC, 0x50}, 4, InstructionKind::Plain}, // sub rsp, 0x50
        {{0x48, 0x81, 0xEC, 0x88, 0x00, 0x00, 0x00}, 7, InstructionKind::Plain},
        {{0x48, 0x83, 0xC4, 0x28}, 4, InstructionKind::Plain}, // add rsp, 0x28
        {{0x45, 0x31, 0xE4}, 3, InstructionKind::Plain},       // xor r12d, r12d
        {{0x48, 0x85, 0xC9}, 3, InstructionKind::Plain},       // test rcx, rcx
        {{0x8B, 0x44, 0x24, 0x70}, 4, InstructionKind::Plain}, // mov eax, [rsp+0x70]
        {{0x44, 0x8B, 0x84, 0x24, 0xA0, 0x00, 0x00, 0x00}, 8, InstructionKind::Plain},
        {{0x4C, 0x89, 0x4C, 0x24, 0x30}, 5, InstructionKind::Plain}, // mov [rsp+0x30], r9
        {{0x48, 0xC7, 0x44, 0x24, 0x28, 0, 0, 0, 0}, 9, InstructionKind::Plain},
        {{0x48, 0x8D, 0xA4, 0x24, 0, 0, 0, 0}, 8, InstructionKind::Plain}, // lea rsp, [rsp+0]
        {{0x65, 0x48, 0x8B, 0x04, 0x25, 0x30, 0, 0, 0}, 9, InstructionKind::Plain}, // gs:[0x30]
        {{0x81, 0x7C, 0x24, 0x10, 1, 2, 3, 4}, 8, InstructionKind::Plain},  // cmp [rsp+16], imm32
        {{0xF6, 0x41, 0x10, 0x01}, 4, InstructionKind::Plain},              // test byte [rcx+16], 1
        {{0xF7, 0xC1, 0x00, 0x01, 0x00, 0x00}, 6, InstructionKind::Plain},  // test ecx, 0x100
        {{0xF7, 0xD8}, 2, InstructionKind::Plain},                          // neg eax
        {{0x48, 0xB8, 1, 2, 3, 4, 5, 6, 7, 8}, 10, InstructionKind::Plain}, // mov rax, imm64
        {{0xB8, 1, 2, 3, 4}, 5, InstructionKind::Plain},                    // mov eax, imm32
        {{0x66, 0xB8, 1, 2}, 4, InstructionKind::Plain},                    // mov ax, imm16
        {{0xA1, 1, 2, 3, 4, 5, 6, 7, 8}, 9, InstructionKind::Plain},        // mov eax, [moffs64]
        {{0xC8, 0x10, 0x00, 0x00}, 4, InstructionKind::Plain},              // enter 16, 0
        {{0x90}, 1, InstructionKind::Plain},
        {{0x66, 0x90}, 2, InstructionKind::Plain},
        {{0x0F, 0x1F, 0x44, 0x00, 0x00}, 5, InstructionKind::Plain}, // nop [rax+rax]
        {{0x66, 0x0F, 0x1F, 0x84, 0x00, 0, 0, 0, 0}, 9, InstructionKind::Plain},
        {{0xF3, 0x0F, 0x1E, 0xFA}, 4, InstructionKind::Plain}, // endbr64
        {{0xF0, 0x0F, 0xB1, 0x11}, 4, InstructionKind::Plain}, // lock cmpxchg [rcx], edx
        {{0x0F, 0x10, 0x06}, 3, InstructionKind::Plain},       // movups xmm0, [rsi]
        {{0x66, 0x0F, 0x3A, 0x0F, 0xC1, 0x08}, 6, InstructionKind::Plain}, // palignr
        {{0x66, 0x0F, 0x38, 0x00, 0xC1}, 5, InstructionKind::Plain},       // pshufb
        {{0x0F, 0xA2}, 2, InstructionKind::Plain},                         // cpuid
        {{0xFF, 0x15, 0, 0, 0, 0}, 6, InstructionKind::Plain},             // call [rip]
        {{0xFF, 0x25, 0, 0, 0, 0}, 6, InstructionKind::IndirectJump},      // jmp [rip]
        {{0xFF, 0xE0}, 2, InstructionKind::IndirectJump},                  // jmp rax
        {{0xE8, 0, 0, 0, 0}, 5, InstructionKind::Call},
        {{0xE9, 0, 0, 0, 0}, 5, InstructionKind::Jump},
        {{0xEB, 0x10}, 2, InstructionKind::Jump},
        {{0x74, 0x05}, 2, InstructionKind::ConditionalJump},
        {{0x0F, 0x85, 0, 0, 0, 0}, 6, InstructionKind::ConditionalJump},
        {{0xE3, 0x05}, 2, InstructionKind::ShortOnly}, // jrcxz
        {{0xC3}, 1, InstructionKind::Return},
        {{0xC2, 0x08, 0x00}, 3, InstructionKind::Return},
    };
    for (const Sample& sample : samples) {
        SCOPED_TRACE(hex(sample.bytes));
        // Bytes that follow an instruction do not change its length.
        Bytes padded = sample.bytes;
        padded.resize(padded.size() + 8, 0xCC);
        Instruction instruction = decode(padded);
        EXPECT_EQ(instruction.length, sample.length);
        EXPECT_EQ(instruction.kind, sample.kind);
    }
}

TEST(Instructions, RipRelativeOperandsAndBranchFieldsAreFound) {
    Instruction load = decode({0x48, 0x8B, 0x05, 1, 2, 3, 4}); // mov rax, [rip+x]
    EXPECT_EQ(load.length, 7u);
    EXPECT_EQ(load.ripDisplacementAt, 3u);
    Instruction compare = decode({0x83, 0x3D, 1, 2, 3, 4, 0x00}); // cmp dword [rip+x], 0
    EXPECT_EQ(compare.length, 7u);
    EXPECT_EQ(compare.ripDisplacementAt, 2u);
    // Base 101 under a SIB byte is an absolute address, not rip-relative.
    EXPECT_EQ(decode({0x8B, 0x04, 0x25, 1, 2, 3, 4}).ripDisplacementAt, 0u);
    Instruction jump = decode({0x0F, 0x8E, 1, 2, 3, 4});
    EXPECT_EQ(jump.branchAt, 2u);
    EXPECT_EQ(jump.branchSize, 4u);
    EXPECT_EQ(jump.condition, 0x0E);
}

TEST(Instructions, UnknownOrCutShortBytesHaveNoLength) {
    const Bytes unknown[] = {
        {0xC5, 0xF8, 0x77},             // vzeroupper (VEX)
        {0x62, 0xF1, 0x7C, 0x48, 0x10}, // EVEX
        {0x06},                         // push es: invalid in 64-bit code
        {0x0F, 0x0F, 0xC1, 0x9E},       // 3DNow!
        {0x66, 0xE9, 1, 2},             // jmp rel16
        {0xE8, 0, 0},                   // cut short
        {0x48, 0x8B},                   // ModRM missing
        {0x8B, 0x04},                   // SIB missing
        {0x0F},
        {0x48},
        {},
        Bytes(16, 0x66), // prefixes beyond the longest instruction
    };
    for (const Bytes& bytes : unknown) {
        SCOPED_TRACE(hex(bytes));
        EXPECT_EQ(decode(bytes).length, 0u);
    }
}

// Code pretended to run at kCode, moved to run at kMoved, 1 MiB above.
constexpr uintptr_t kCode = 0x7FF700000000;
constexpr uintptr_t kMoved = kCode + 0x100000;

struct Moved {
    std::optional<RelocatedCode> result;
    uint8_t bytes[64] = {};
};

Moved relocated(const Bytes& code, size_t capacity = 64, uintptr_t to = kMoved) {
    Moved moved;
    moved.result =
        relocateInstructions(code.data(), code.size(), kCode, 5, moved.bytes, capacity, to);
    return moved;
}

// The target of the rel32 ending at `end` bytes into the moved code.
uintptr_t targetOf(const Moved& moved, size_t end) {
    return kMoved + end + static_cast<uintptr_t>(int64_t{int32At(moved.bytes + end - 4)});
}

TEST(Relocation, TheFirstWholeInstructionsAreCopiedAndJumpBack) {
    // The prologues of the nine entry points of the graphics library as Wine has them.
    const std::pair<Bytes, size_t> prologues[] = {
        {{0x41, 0x54, 0x55, 0x57, 0x56, 0x53, 0x48, 0x83, 0xEC, 0x50}, 5},
        {{0x48, 0x83, 0xEC, 0x48, 0x8B, 0x44, 0x24, 0x70}, 8},
        {{0x41, 0x57, 0x41, 0x56, 0x41, 0x55, 0x41, 0x54}, 6},
        {{0x41, 0x56, 0x41, 0x55, 0x41, 0x54, 0x55, 0x57}, 6},
        {{0x48, 0x83, 0xEC, 0x48, 0x4C, 0x89, 0x4C, 0x24, 0x30}, 9},
        {{0x55, 0x57, 0x56, 0x53, 0x48, 0x83, 0xEC, 0x48}, 8},
        {{0x48, 0x8D, 0xA4, 0x24, 0x00, 0x00, 0x00, 0x00, 0x41, 0x57}, 8},
    };
    for (const auto& [code, covered] : prologues) {
        SCOPED_TRACE(hex(code));
        Moved moved = relocated(code);
        ASSERT_TRUE(moved.result);
        EXPECT_EQ(moved.result->covered, covered);
        EXPECT_EQ(moved.result->length, covered + 5);
        EXPECT_EQ(std::memcmp(moved.bytes, code.data(), covered), 0);
        EXPECT_EQ(moved.bytes[covered], 0xE9);
        EXPECT_EQ(targetOf(moved, covered + 5), kCode + covered);
    }
}

TEST(Relocation, RipRelativeOperandsKeepTheirTarget) {
    // mov rax, [rip+0x10], reading kCode + 7 + 0x10; cmp dword [rip-0x20], 5 after it.
    Bytes code = {0x48, 0x8B, 0x05, 0x10, 0, 0, 0, 0x83, 0x3D, 0xE0, 0xFF, 0xFF, 0xFF, 0x05};
    Moved moved = relocated(code);
    ASSERT_TRUE(moved.result);
    EXPECT_EQ(moved.result->covered, 7u);
    EXPECT_EQ(targetOf(moved, 7), kCode + 7 + 0x10);
    EXPECT_EQ(std::memcmp(moved.bytes, code.data(), 3), 0);

    // The immediate after the displacement counts in where the instruction ends.
    Bytes compareFirst = {0x83, 0x3D, 0xE0, 0xFF, 0xFF, 0xFF, 0x05};
    Moved compared = relocated(compareFirst);
    ASSERT_TRUE(compared.result);
    EXPECT_EQ(kMoved + 7 + static_cast<uintptr_t>(int64_t{int32At(compared.bytes + 2)}),
              kCode + 7 - 0x20);
    EXPECT_EQ(compared.bytes[6], 0x05);
}

TEST(Relocation, ShortBranchesTakeTheir32BitForms) {
    // je +0x10; sub rsp, 0x28.
    Moved conditional = relocated({0x74, 0x10, 0x48, 0x83, 0xEC, 0x28});
    ASSERT_TRUE(conditional.result);
    EXPECT_EQ(conditional.result->covered, 6u);
    EXPECT_EQ(conditional.bytes[0], 0x0F);
    EXPECT_EQ(conditional.bytes[1], 0x84);
    EXPECT_EQ(targetOf(conditional, 6), kCode + 2 + 0x10);
    EXPECT_EQ(std::memcmp(conditional.bytes + 6, "\x48\x83\xEC\x28", 4), 0);
    EXPECT_EQ(targetOf(conditional, 15), kCode + 6);

    // sub rsp, 0x28; jmp -0x10 (ending the moved bytes, to before them); no jump back is needed
    // but one is harmless.
    Moved jump = relocated({0x48, 0x83, 0xEC, 0x28, 0xEB, 0xF0});
    ASSERT_TRUE(jump.result);
    EXPECT_EQ(jump.bytes[4], 0xE9);
    EXPECT_EQ(targetOf(jump, 9), kCode + 6 - 0x10);

    // push rbx; call rel32 keeps its target.
    Moved call = relocated({0x53, 0xE8, 0x00, 0x01, 0x00, 0x00});
    ASSERT_TRUE(call.result);
    EXPECT_EQ(call.bytes[1], 0xE8);
    EXPECT_EQ(targetOf(call, 6), kCode + 6 + 0x100);
}

TEST(Relocation, WhatCannotBeMovedIsRefused) {
    const Bytes refused[] = {
        {0x53, 0xC3, 0x90, 0x90, 0x90},       // a return within the range
        {0x48, 0x83, 0xEC, 0x28, 0x74, 0xFA}, // je back to the entry point
        {0x74, 0x01, 0x90, 0x90, 0x90, 0x90}, // je into the moved bytes
        {0xEB, 0x10, 0x90, 0x90, 0x90},       // a jump before the jump's 5 bytes are covered
        {0x53, 0xE2, 0x10, 0x90, 0x90},       // loop
        {0x53, 0xC5, 0xF8, 0x77, 0x90},       // unknown
        {0x53, 0x67, 0x8B, 0x05, 0, 0, 0, 0}, // rip-relative cut to 32 bits
        {0x53, 0x90, 0x90},                   // the code ends first
    };
    for (const Bytes& code : refused) {
        SCOPED_TRACE(hex(code));
        EXPECT_FALSE(relocated(code).result);
    }
    // Not enough room for the copy and the jump back.
    EXPECT_FALSE(relocated({0x41, 0x54, 0x55, 0x57, 0x56}, 8).result);
    // A rip-relative target out of reach of the new place.
    EXPECT_FALSE(
        relocated({0x48, 0x8B, 0x05, 0, 0, 0, 0}, 64, kCode + (uintptr_t{1} << 33)).result);
}

TEST(Relocation, AJumpBackOutOfReachIsAbsolute) {
    Moved distant = relocated({0x41, 0x54, 0x55, 0x57, 0x56}, 64, kCode + (uintptr_t{1} << 33));
    ASSERT_TRUE(distant.result);
    EXPECT_EQ(distant.result->length, 5u + 14u);
    EXPECT_EQ(std::memcmp(distant.bytes + 5, "\xFF\x25\0\0\0\0", 6), 0);
    uint64_t target = 0;
    std::memcpy(&target, distant.bytes + 11, sizeof target);
    EXPECT_EQ(target, kCode + 5);
}

// Routines built in executable memory, their first instructions moved and run from there.
class MovedRoutine : public testing::Test {
  protected:
    void SetUp() override {
        memory_ = static_cast<uint8_t*>(
            VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_EXECUTE_READWRITE));
        ASSERT_NE(memory_, nullptr);
    }
    void TearDown() override { VirtualFree(memory_, 0, MEM_RELEASE); }

    // The routine at the start of memory, its first instructions moved 2 KiB on.
    template <typename Function> Function moveRoutine(const Bytes& routine) {
        std::memcpy(memory_, routine.data(), routine.size());
        uint8_t* moved = memory_ + 2048;
        auto relocated =
            relocateInstructions(memory_, routine.size(), reinterpret_cast<uintptr_t>(memory_), 5,
                                 moved, 64, reinterpret_cast<uintptr_t>(moved));
        if (!relocated) return nullptr;
        // The entry point carries something else now: only the moved copy may be run.
        std::memset(memory_, 0xCC, relocated->covered);
        FlushInstructionCache(GetCurrentProcess(), memory_, 4096);
        return reinterpret_cast<Function>(moved);
    }

    uint8_t* memory_ = nullptr;
};

TEST_F(MovedRoutine, ARipRelativeLoadReadsTheSameValue) {
    // lea rax, [rip+9]; mov rax, [rax]; ret; then the 8-byte value at offset 16.
    Bytes routine = {0x48, 0x8D, 0x05, 0x09, 0,    0,    0,    0x48, 0x8B, 0x00, 0xC3, 0x90,
                     0x90, 0x90, 0x90, 0x90, 0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23, 0x01};
    auto function = moveRoutine<uint64_t (*)()>(routine);
    ASSERT_NE(function, nullptr);
    EXPECT_EQ(function(), 0x0123456789ABCDEFu);
}

TEST_F(MovedRoutine, AShortConditionalJumpStillBranches) {
    // xor eax, eax; test ecx, ecx; je +5; mov eax, 7; ret.
    Bytes routine = {0x31, 0xC0, 0x85, 0xC9, 0x74, 0x05, 0xB8, 0x07, 0, 0, 0, 0xC3};
    auto function = moveRoutine<int (*)(int)>(routine);
    ASSERT_NE(function, nullptr);
    EXPECT_EQ(function(0), 0);
    EXPECT_EQ(function(1), 7);
}

// Each of the nine entry points of this process jumps to its trampoline, which holds the entry
// point's first instructions behind its own jump: they end in a jump back to the instruction
// after the 5 bytes the entry point's jump took.
TEST(RedirectedEntryPoints, KeepTheirFirstInstructionsBesideTheTrampoline) {
    constexpr size_t kTrampolineJump = 16;
    constexpr size_t kMovedRoom = 48;
    HMODULE graphics = GetModuleHandleA("GDI32.DLL");
    for (const char* name :
         {"TextOutA", "TextOutW", "ExtTextOutA", "ExtTextOutW", "GetTextExtentPointA",
          "GetTextExtentPoint32A", "GetCharWidthA", "BitBlt", "StretchBlt"}) {
        SCOPED_TRACE(name);
        auto* entry = reinterpret_cast<const uint8_t*>(
            reinterpret_cast<void*>(GetProcAddress(graphics, name)));
        ASSERT_NE(entry, nullptr);
        ASSERT_EQ(entry[0], 0xE9);
        const uint8_t* trampoline = entry + 5 + int32At(entry + 1);
        ASSERT_EQ(std::memcmp(trampoline, "\xFF\x25\0\0\0\0", 6), 0);
        const uint8_t* moved = trampoline + kTrampolineJump;
        const uint8_t* back = nullptr;
        for (size_t at = 0; at < kMovedRoom && !back;) {
            Instruction instruction = decodeInstruction(moved + at, kMovedRoom - at);
            ASSERT_NE(instruction.length, 0u);
            at += instruction.length;
            if (instruction.kind == InstructionKind::Jump)
                back = moved + at + int32At(moved + at - 4);
        }
        ASSERT_NE(back, nullptr);
        EXPECT_GE(back, entry + 5);
        EXPECT_LT(back, entry + 5 + lxsys::kLongestInstruction);
    }
}

} // namespace
