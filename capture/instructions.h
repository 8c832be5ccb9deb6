// Just enough of the x86-64 instruction set to move the first instructions of a routine: their
// lengths, what they do with the flow of control, and the fields that depend on where they run.
// A redirected entry point keeps its own start callable this way while its first bytes hold the
// jump to the replacement.
#ifndef LEXORA_LXSYS_INSTRUCTIONS_H
#define LEXORA_LXSYS_INSTRUCTIONS_H

#include <cstddef>
#include <cstdint>
#include <optional>

namespace lxsys {

constexpr size_t kLongestInstruction = 15;

enum class InstructionKind {
    Plain,           // goes on to the next instruction (an indirect call too)
    Jump,            // jmp rel8 / rel32
    Call,            // call rel32
    ConditionalJump, // jcc rel8 / rel32
    IndirectJump,    // jmp through a register or memory
    Return,          // ret, ret imm16, far ret, iret
    ShortOnly,       // loop, loope, loopne, jrcxz: relative with no 32-bit form
};

struct Instruction {
    // 0 when the bytes are not an instruction the decoder knows, or are cut short.
    size_t length = 0;
    InstructionKind kind = InstructionKind::Plain;
    // Where the 32-bit displacement of a rip-relative operand lies in the instruction; 0 if none.
    size_t ripDisplacementAt = 0;
    // A relative branch's displacement: where it lies and its size (1 or 4), 0 if none.
    size_t branchAt = 0;
    size_t branchSize = 0;
    // A conditional jump's condition (the low 4 bits of its opcode).
    uint8_t condition = 0;
    // The 67 prefix: addresses, rip-relative ones too, are cut to 32 bits.
    bool shortAddresses = false;
};

// The instruction at code, of which `available` bytes may be read.
Instruction decodeInstruction(const uint8_t* code, size_t available);

struct RelocatedCode {
    // Bytes of the original taken over, whole instructions, at least the minimum asked for.
    size_t covered;
    // Bytes written: the moved instructions and the jump back.
    size_t length;
};

// Moves the whole instructions at the start of code (running at codeAddress; `available` bytes
// readable) that cover at least `minimum` bytes into out (`capacity` bytes, to run at
// outAddress), so that they do the same there: rip-relative operands and relative branches keep
// their targets, short branches take their 32-bit forms; a jump back to the first instruction
// not moved follows. Nothing when an instruction is unknown or cannot be moved: a return, a
// short-only branch, a branch into the moved bytes, an unconditional jump before the minimum, a
// target out of reach, or too little room.
std::optional<RelocatedCode> relocateInstructions(const uint8_t* code, size_t available,
                                                  uintptr_t codeAddress, size_t minimum,
                                                  uint8_t* out, size_t capacity,
                                                  uintptr_t outAddress);

} // namespace lxsys

#endif
