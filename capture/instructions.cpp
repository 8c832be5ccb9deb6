// Instruction lengths from the one- and two-byte opcode maps (0F, 0F 38, 0F 3A), with legacy
// prefixes, REX, ModRM, SIB, displacements and immediates. VEX, EVEX and 3DNow! encodings are
// left unknown: routine prologues do not use them, and an unknown instruction is never moved.
#include "instructions.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace lxsys {

namespace {

// What follows an opcode: the low bits name the immediate, the high bits flag a ModRM byte and
// an opcode this decoder does not know.
enum : uint8_t {
    kNoImmediate = 0,
    kImm8 = 1,
    kImm16 = 2,
    kImm16or32 = 3,     // 16 bits with the 66 prefix
    kImm16or32or64 = 4, // mov r, imm: 64 bits with REX.W
    kEnterImmediate = 5,
    kMemoryOffset = 6, // mov al/eax, [moffs]: an address, 32 bits with the 67 prefix
    kRel8 = 7,
    kRel32 = 8,
    kTestImm8 = 9,       // F6: an imm8 for TEST (/0, /1) only
    kTestImm16or32 = 10, // F7: likewise
    kImmediateMask = 0x0F,
    kModRM = 0x10,
    kUnknown = 0x20,
};

constexpr std::array<uint8_t, 256> oneByteMap() {
    std::array<uint8_t, 256> map{};
    // add, or, adc, sbb, and, sub, xor, cmp, each followed by two opcodes that are prefixes,
    // invalid in 64-bit code, or (0F) the escape, decoded apart.
    for (int base = 0x00; base < 0x40; base += 8) {
        for (int op = base; op < base + 4; ++op)
            map[op] = kModRM;
        map[base + 4] = kImm8;
        map[base + 5] = kImm16or32;
        map[base + 6] = map[base + 7] = kUnknown;
    }
    map[0x60] = map[0x61] = map[0x62] = kUnknown;
    map[0x63] = kModRM;
    map[0x68] = kImm16or32;
    map[0x69] = kModRM | kImm16or32;
    map[0x6A] = kImm8;
    map[0x6B] = kModRM | kImm8;
    for (int op = 0x70; op <= 0x7F; ++op)
        map[op] = kRel8;
    map[0x80] = map[0x83] = kModRM | kImm8;
    map[0x81] = kModRM | kImm16or32;
    map[0x82] = kUnknown;
    for (int op = 0x84; op <= 0x8F; ++op)
        map[op] = kModRM;
    map[0x9A] = kUnknown;
    for (int op = 0xA0; op <= 0xA3; ++op)
        map[op] = kMemoryOffset;
    map[0xA8] = kImm8;
    map[0xA9] = kImm16or32;
    for (int op = 0xB0; op <= 0xB7; ++op)
        map[op] = kImm8;
    for (int op = 0xB8; op <= 0xBF; ++op)
        map[op] = kImm16or32or64;
    map[0xC0] = map[0xC1] = map[0xC6] = kModRM | kImm8;
    map[0xC2] = map[0xCA] = kImm16;
    map[0xC4] = map[0xC5] = kUnknown; // VEX
    map[0xC7] = kModRM | kImm16or32;
    map[0xC8] = kEnterImmediate;
    map[0xCD] = kImm8;
    map[0xCE] = kUnknown;
    for (int op = 0xD0; op <= 0xD3; ++op)
        map[op] = kModRM;
    map[0xD4] = map[0xD5] = map[0xD6] = kUnknown;
    for (int op = 0xD8; op <= 0xDF; ++op)
        map[op] = kModRM;
    for (int op = 0xE0; op <= 0xE7; ++op)
        map[op] = kImm8;
    map[0xE0] = map[0xE1] = map[0xE2] = map[0xE3] = kRel8;
    map[0xE8] = map[0xE9] = kRel32;
    map[0xEA] = kUnknown;
    map[0xEB] = kRel8;
    map[0xF6] = kModRM | kTestImm8;
    map[0xF7] = kModRM | kTestImm16or32;
    map[0xFE] = map[0xFF] = kModRM;
    return map;
}

constexpr std::array<uint8_t, 256> twoByteMap() {
    std::array<uint8_t, 256> map{};
    for (int op = 0; op < 256; ++op)
        map[op] = kModRM;
    map[0x04] = map[0x0A] = map[0x0C] = kUnknown;
    map[0x0F] = kUnknown; // 3DNow!
    for (int op :
         {0x05, 0x06, 0x07, 0x08, 0x09, 0x0B, 0x0E, 0x77, 0xA0, 0xA1, 0xA2, 0xA8, 0xA9, 0xAA})
        map[op] = kNoImmediate;
    for (int op = 0x24; op <= 0x27; ++op)
        map[op] = kUnknown;
    for (int op = 0x30; op <= 0x37; ++op)
        map[op] = kNoImmediate;
    for (int op = 0x39; op <= 0x3F; ++op)
        map[op] = kUnknown;
    map[0x38] = kModRM;         // three-byte map, decoded apart
    map[0x3A] = kModRM | kImm8; // likewise, every one with an imm8
    for (int op = 0x70; op <= 0x73; ++op)
        map[op] = kModRM | kImm8;
    map[0x7A] = map[0x7B] = map[0xA6] = map[0xA7] = kUnknown;
    for (int op = 0x80; op <= 0x8F; ++op)
        map[op] = kRel32;
    for (int op : {0xA4, 0xAC, 0xBA, 0xC2, 0xC4, 0xC5, 0xC6})
        map[op] = kModRM | kImm8;
    for (int op = 0xC8; op <= 0xCF; ++op)
        map[op] = kNoImmediate;
    return map;
}

constexpr std::array<uint8_t, 256> kOneByteMap = oneByteMap();
constexpr std::array<uint8_t, 256> kTwoByteMap = twoByteMap();

bool isLegacyPrefix(uint8_t byte) {
    switch (byte) {
    case 0xF0:
    case 0xF2:
    case 0xF3:
    case 0x2E:
    case 0x36:
    case 0x3E:
    case 0x26:
    case 0x64:
    case 0x65:
    case 0x66:
    case 0x67:
        return true;
    default:
        return false;
    }
}

InstructionKind kindOfOneByte(uint8_t op, uint8_t modrmReg) {
    if (op >= 0x70 && op <= 0x7F) return InstructionKind::ConditionalJump;
    if (op >= 0xE0 && op <= 0xE3) return InstructionKind::ShortOnly;
    switch (op) {
    case 0xC2:
    case 0xC3:
    case 0xCA:
    case 0xCB:
    case 0xCF:
        return InstructionKind::Return;
    case 0xE8:
        return InstructionKind::Call;
    case 0xE9:
    case 0xEB:
        return InstructionKind::Jump;
    case 0xFF:
        return modrmReg == 4 || modrmReg == 5 ? InstructionKind::IndirectJump
                                              : InstructionKind::Plain;
    default:
        return InstructionKind::Plain;
    }
}

// The bytes after a ModRM byte at code[at]: SIB and displacement, or `limit` when the SIB byte
// lies beyond it. Notes a rip-relative operand.
size_t addressingBytes(const uint8_t* code, size_t at, size_t limit, Instruction& instruction) {
    uint8_t modrm = code[at];
    uint8_t mod = modrm >> 6;
    uint8_t rm = modrm & 7;
    if (mod == 3) return 0;
    size_t extra = 0;
    if (rm == 4) {
        if (at + 1 >= limit) return limit;
        extra = 1;
        if (mod == 0 && (code[at + 1] & 7) == 5) return extra + 4;
    } else if (mod == 0 && rm == 5) {
        instruction.ripDisplacementAt = at + 1;
        return 4;
    }
    if (mod == 1) return extra + 1;
    if (mod == 2) return extra + 4;
    return extra;
}

size_t immediateSize(uint8_t kind, uint8_t modrmReg, bool operand16, bool rexW, bool address32) {
    switch (kind) {
    case kImm8:
    case kRel8:
        return 1;
    case kImm16:
        return 2;
    case kImm16or32:
        return operand16 ? 2 : 4;
    case kImm16or32or64:
        return rexW ? 8 : operand16 ? 2 : 4;
    case kEnterImmediate:
        return 3;
    case kMemoryOffset:
        return address32 ? 4 : 8;
    case kRel32:
        return 4;
    case kTestImm8:
        return modrmReg <= 1 ? 1 : 0;
    case kTestImm16or32:
        return modrmReg <= 1 ? (operand16 ? 2 : 4) : 0;
    default:
        return 0;
    }
}

} // namespace

Instruction decodeInstruction(const uint8_t* code, size_t available) {
    size_t limit = std::min(available, kLongestInstruction);
    Instruction instruction;
    size_t at = 0;
    bool operand16 = false;
    while (at < limit && isLegacyPrefix(code[at])) {
        operand16 = operand16 || code[at] == 0x66;
        instruction.shortAddresses = instruction.shortAddresses || code[at] == 0x67;
        ++at;
    }
    bool rexW = false;
    if (at < limit && (code[at] & 0xF0) == 0x40) rexW = (code[at++] & 0x08) != 0;
    if (at >= limit) return {};
    uint8_t op = code[at++];
    uint8_t flags = 0;
    bool twoByte = op == 0x0F;
    if (twoByte) {
        if (at >= limit) return {};
        op = code[at++];
        flags = kTwoByteMap[op];
        // The three-byte maps: one more opcode byte, then as their map entry says.
        if (op == 0x38 || op == 0x3A) {
            if (at >= limit) return {};
            ++at;
        }
    } else {
        flags = kOneByteMap[op];
    }
    if (flags & kUnknown) return {};
    uint8_t modrmReg = 0;
    if (flags & kModRM) {
        if (at >= limit) return {};
        modrmReg = (code[at] >> 3) & 7;
        at += 1 + addressingBytes(code, at, limit, instruction);
    }
    uint8_t immediate = flags & kImmediateMask;
    bool relative = immediate == kRel8 || immediate == kRel32;
    // A 16-bit operand on a branch cuts the instruction pointer on some processors and not on
    // others.
    if (relative && operand16) return {};
    size_t immediateBytes =
        immediateSize(immediate, modrmReg, operand16, rexW, instruction.shortAddresses);
    if (at > limit || immediateBytes > limit - at) return {};
    if (relative) {
        instruction.branchAt = at;
        instruction.branchSize = immediateBytes;
    }
    instruction.kind = twoByte
                           ? (relative ? InstructionKind::ConditionalJump : InstructionKind::Plain)
                           : kindOfOneByte(op, modrmReg);
    instruction.condition = op & 0x0F;
    instruction.length = at + immediateBytes;
    return instruction;
}

namespace {

constexpr uint8_t kJumpRel32 = 0xE9;
constexpr uint8_t kCallRel32 = 0xE8;
constexpr uint8_t kTwoByteEscape = 0x0F;
constexpr uint8_t kConditionalRel32 = 0x80;
// jmp [rip+0] followed by the 8-byte address, for a target beyond the reach of a rel32.
constexpr uint8_t kAbsoluteJump[] = {0xFF, 0x25, 0x00, 0x00, 0x00, 0x00};

// Writes into a bounded buffer; once something does not fit, nothing more is written.
class Output {
  public:
    Output(uint8_t* out, size_t capacity, uintptr_t address)
        : out_(out), capacity_(capacity), address_(address) {}

    bool put(const void* bytes, size_t count) {
        if (!fits_ || count > capacity_ - size_) {
            fits_ = false;
            return false;
        }
        std::memcpy(out_ + size_, bytes, count);
        size_ += count;
        return true;
    }
    // An instruction of `prefix` bytes and a rel32 to target, where it will run.
    bool putBranch(const uint8_t* prefix, size_t prefixSize, uintptr_t target) {
        std::optional<int32_t> displacement = displacementTo(target, prefixSize + 4);
        return displacement && put(prefix, prefixSize) && put(&*displacement, 4);
    }
    // The displacement from the end of an instruction of `length` bytes written next to target.
    std::optional<int32_t> displacementTo(uintptr_t target, size_t length) const {
        auto distance = static_cast<int64_t>(target - (address_ + size_ + length));
        if (distance < INT32_MIN || distance > INT32_MAX) return std::nullopt;
        return static_cast<int32_t>(distance);
    }
    bool putJump(uintptr_t target) {
        const uint8_t opcode = kJumpRel32;
        if (displacementTo(target, 5)) return putBranch(&opcode, 1, target);
        uint64_t absolute = target;
        return put(kAbsoluteJump, sizeof kAbsoluteJump) && put(&absolute, sizeof absolute);
    }
    size_t size() const { return size_; }

  private:
    uint8_t* out_;
    size_t capacity_;
    uintptr_t address_;
    size_t size_ = 0;
    bool fits_ = true;
};

int64_t branchDisplacement(const uint8_t* code, const Instruction& instruction) {
    if (instruction.branchSize == 1) return static_cast<int8_t>(code[instruction.branchAt]);
    int32_t displacement = 0;
    std::memcpy(&displacement, code + instruction.branchAt, sizeof displacement);
    return displacement;
}

// A relative branch in its 32-bit form, its prefixes (hints) left out.
bool moveBranch(const Instruction& instruction, uintptr_t target, Output& output) {
    switch (instruction.kind) {
    case InstructionKind::Jump:
        return output.putJump(target);
    case InstructionKind::Call: {
        const uint8_t opcode = kCallRel32;
        return output.putBranch(&opcode, 1, target);
    }
    case InstructionKind::ConditionalJump: {
        const uint8_t opcode[] = {kTwoByteEscape,
                                  static_cast<uint8_t>(kConditionalRel32 | instruction.condition)};
        return output.putBranch(opcode, sizeof opcode, target);
    }
    default:
        return false;
    }
}

// An instruction copied as it is, its rip-relative displacement made to reach the same address.
bool moveInstruction(const uint8_t* code, uintptr_t address, const Instruction& instruction,
                     Output& output) {
    uint8_t copy[kLongestInstruction];
    std::memcpy(copy, code, instruction.length);
    if (instruction.ripDisplacementAt != 0) {
        if (instruction.shortAddresses) return false;
        int32_t displacement = 0;
        std::memcpy(&displacement, code + instruction.ripDisplacementAt, sizeof displacement);
        uintptr_t target = address + instruction.length +
                           static_cast<uintptr_t>(static_cast<int64_t>(displacement));
        std::optional<int32_t> moved = output.displacementTo(target, instruction.length);
        if (!moved) return false;
        std::memcpy(copy + instruction.ripDisplacementAt, &*moved, sizeof *moved);
    }
    return output.put(copy, instruction.length);
}

bool endsFlow(InstructionKind kind) {
    return kind == InstructionKind::Jump || kind == InstructionKind::IndirectJump;
}

} // namespace

std::optional<RelocatedCode> relocateInstructions(const uint8_t* code, size_t available,
                                                  uintptr_t codeAddress, size_t minimum,
                                                  uint8_t* out, size_t capacity,
                                                  uintptr_t outAddress) {
    Output output(out, capacity, outAddress);
    // Every instruction is at least a byte long, so the moved ones are at most `minimum`.
    constexpr size_t kMostBranches = 16;
    uintptr_t targets[kMostBranches];
    size_t branches = 0;
    size_t covered = 0;
    while (covered < minimum) {
        if (covered >= available) return std::nullopt;
        Instruction instruction = decodeInstruction(code + covered, available - covered);
        uintptr_t address = codeAddress + covered;
        if (instruction.length == 0 || instruction.kind == InstructionKind::Return ||
            instruction.kind == InstructionKind::ShortOnly)
            return std::nullopt;
        // Past an unconditional jump the bytes the entry's jump would overwrite may belong to
        // some other routine.
        if (endsFlow(instruction.kind) && covered + instruction.length < minimum)
            return std::nullopt;
        bool moved = false;
        if (instruction.branchSize != 0) {
            if (branches == kMostBranches) return std::nullopt;
            uintptr_t target =
                address + instruction.length +
                static_cast<uintptr_t>(branchDisplacement(code + covered, instruction));
            targets[branches++] = target;
            moved = moveBranch(instruction, target, output);
        } else {
            moved = moveInstruction(code + covered, address, instruction, output);
        }
        if (!moved) return std::nullopt;
        covered += instruction.length;
    }
    // A branch back into the moved bytes would land in the jump the entry point now holds.
    if (std::any_of(targets, targets + branches, [&](uintptr_t target) {
            return target >= codeAddress && target < codeAddress + covered;
        }))
        return std::nullopt;
    if (!output.putJump(codeAddress + covered)) return std::nullopt;
    return RelocatedCode{covered, output.size()};
}

} // namespace lxsys
