#include "decoder/decoder.h"

#include "commands.h"

const char DECOMPRESS_HELP[] =
    "Decodes the compressed file IN into OUT, replacing OUT if it exists.\n"
    "A damaged or truncated IN is reported with the code, the entry count and\n"
    "the output offset where decoding stopped; OUT is removed then.\n";

int RunDecompress(const char* command, int operandCount, char** operands)
{
    if (!HasOperands(command, operandCount, 2)) {
        return EXIT_USAGE;
    }
    const char* in = operands[0];
    const char* out = operands[1];
    if (SamePath(in, out)) {
        return ReportUsageError(command, "IN and OUT are the same file");
    }
    if (DecompressFile(in, out)) {
        return EXIT_SUCCEEDED;
    }
    char problem[256];
    FormatDecodeFailure(&lastDecodeFailure, problem, sizeof problem);
    const DecodeFailureKind kind = lastDecodeFailure.kind;
    const bool aboutOutput = kind == DECODE_DESTINATION_NOT_CREATED || kind == DECODE_WRITE_FAILED;
    ReportFileError(aboutOutput ? out : in, problem);
    return EXIT_FAILED;
}
