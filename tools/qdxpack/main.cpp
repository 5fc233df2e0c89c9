#include <cstdio>
#include <cstring>

#include "commands.h"

namespace {

// Every command of the tool; a new command is a row here and a file of its own.
const Command COMMANDS[] = {
    {"compress", "IN OUT", "write IN in the compressed format as OUT", RunCompress, COMPRESS_HELP},
    {"decompress", "IN OUT", "decode the compressed file IN into OUT", RunDecompress, DECOMPRESS_HELP},
    {"create", "DIR PACK", "pack the folder tree DIR into PACK for the launcher", RunCreate, CREATE_HELP},
    {"list", "PACK", "list the rows of PACK with sizes and ratios", RunList, LIST_HELP},
    {"check", "PACK", "check every name and decode every entry of PACK", RunCheck, CHECK_HELP},
    {"extract", "PACK DIR", "unpack PACK into DIR exactly as the launcher would", RunExtract, EXTRACT_HELP},
};
const int COMMAND_COUNT = static_cast<int>(sizeof COMMANDS / sizeof COMMANDS[0]);

// Operands never exceed the command line; this bounds the copy we keep.
const int MAX_OPERANDS = 64;

const Command* FindCommand(const char* name)
{
    for (int i = 0; i < COMMAND_COUNT; ++i) {
        if (strcmp(COMMANDS[i].name, name) == 0) {
            return &COMMANDS[i];
        }
    }
    return nullptr;
}

bool IsHelpOption(const char* argument)
{
    return strcmp(argument, "--help") == 0 || strcmp(argument, "-h") == 0;
}

void PrintOverview(FILE* stream)
{
    fprintf(stream, "usage: qdxpack COMMAND [ARGUMENTS]\n\ncommands:\n");
    for (int i = 0; i < COMMAND_COUNT; ++i) {
        char synopsis[64];
        snprintf(synopsis, sizeof synopsis, "%s %s", COMMANDS[i].name, COMMANDS[i].arguments);
        fprintf(stream, "  %-24s %s\n", synopsis, COMMANDS[i].summary);
    }
    fprintf(stream, "\n'qdxpack help COMMAND' or 'qdxpack COMMAND --help' describes one command.\n");
}

int PrintCommandHelp(const Command* command)
{
    printf("usage: qdxpack %s %s\n\n%s", command->name, command->arguments, command->help);
    return EXIT_SUCCEEDED;
}

int UnknownCommand(const char* name)
{
    fprintf(stderr, "qdxpack: unknown command '%s'\nTry 'qdxpack --help'.\n", name);
    return EXIT_USAGE;
}

int RunHelp(int argc, char** argv)
{
    if (argc < 3) {
        PrintOverview(stdout);
        return EXIT_SUCCEEDED;
    }
    if (argc > 3) {
        fprintf(stderr, "qdxpack help: expects one command name\n");
        return EXIT_USAGE;
    }
    const Command* command = FindCommand(argv[2]);
    return command != nullptr ? PrintCommandHelp(command) : UnknownCommand(argv[2]);
}

// Takes the help option and "--" out of the arguments after the command name;
// anything else that looks like an option is a usage error.
int RunCommand(const Command* command, int argc, char** argv)
{
    char* operands[MAX_OPERANDS];
    int operandCount = 0;
    bool optionsEnded = false;
    for (int i = 2; i < argc; ++i) {
        const char* argument = argv[i];
        if (!optionsEnded && strcmp(argument, "--") == 0) {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && IsHelpOption(argument)) {
            return PrintCommandHelp(command);
        }
        if (!optionsEnded && strcmp(argument, "--fast") == 0 && TakesFastOption(command->name)) {
            fastParseRequested = true;
            continue;
        }
        if (!optionsEnded && argument[0] == '-' && argument[1] != '\0') {
            char problem[96];
            snprintf(problem, sizeof problem, "unknown option '%.60s'", argument);
            return ReportUsageError(command->name, problem);
        }
        if (operandCount == MAX_OPERANDS) {
            return ReportUsageError(command->name, "too many operands");
        }
        operands[operandCount++] = argv[i];
    }
    return command->handler(command->name, operandCount, operands);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        PrintOverview(stderr);
        return EXIT_USAGE;
    }
    const char* first = argv[1];
    if (IsHelpOption(first)) {
        PrintOverview(stdout);
        return EXIT_SUCCEEDED;
    }
    if (strcmp(first, "help") == 0) {
        return RunHelp(argc, argv);
    }
    const Command* command = FindCommand(first);
    if (command == nullptr) {
        return UnknownCommand(first);
    }
    return RunCommand(command, argc, argv);
}
