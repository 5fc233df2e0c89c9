#include "encoder/encoder.h"

#include "commands.h"

const char COMPRESS_HELP[] =
    "Writes the file IN in the compressed format (a 4-byte length, then the\n"
    "code stream) as OUT, replacing OUT if it exists. On failure OUT is removed.\n"
    "Inputs of 4 GiB or more do not fit the length field and are refused.\n"
    "Each code is the first of the cheapest coding, in bits, of the next 64 to\n"
    "128 bytes with the strings the dictionary holds (a code that takes the\n"
    "whole longest match counting a few bits less); --fast takes the longest\n"
    "string it can name instead, which is quicker and a few percent larger.\n";

int RunCompress(const char* command, int operandCount, char** operands)
{
    if (!HasOperands(command, operandCount, 2)) {
        return EXIT_USAGE;
    }
    const char* in = operands[0];
    const char* out = operands[1];
    if (SamePath(in, out)) {
        return ReportUsageError(command, "IN and OUT are the same file");
    }
    if (CompressFile(in, out, fastParseRequested ? PARSE_GREEDY : PARSE_LOOKAHEAD)) {
        return EXIT_SUCCEEDED;
    }
    char problem[256];
    FormatCompressFailure(&lastCompressFailure, problem, sizeof problem);
    const CompressFailureKind kind = lastCompressFailure.kind;
    const bool aboutOutput = kind == COMPRESS_DESTINATION_NOT_CREATED || kind == COMPRESS_WRITE_FAILED;
    ReportFileError(aboutOutput ? out : in, problem);
    return EXIT_FAILED;
}
