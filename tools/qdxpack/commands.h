#ifndef QDX_TOOLS_QDXPACK_COMMANDS_H
#define QDX_TOOLS_QDXPACK_COMMANDS_H

// Exit codes of every command.
const int EXIT_SUCCEEDED = 0;
const int EXIT_FAILED = 1;  // the work itself failed: a file could not be read, written or decoded
const int EXIT_USAGE = 2;   // the command line was wrong

// A handler gets the operands after the command name (options already taken
// out) and returns the exit code. It reports its own errors on stderr.
typedef int (*CommandHandler)(const char* command, int operandCount, char** operands);

struct Command {
    const char* name;
    const char* arguments;  // operand synopsis, e.g. "IN OUT"
    const char* summary;    // one line for the command list
    CommandHandler handler;
    const char* help;       // the text after the synopsis in "qdxpack help NAME"
};

int RunCompress(const char* command, int operandCount, char** operands);
extern const char COMPRESS_HELP[];

int RunDecompress(const char* command, int operandCount, char** operands);
extern const char DECOMPRESS_HELP[];

int RunCreate(const char* command, int operandCount, char** operands);
extern const char CREATE_HELP[];

int RunList(const char* command, int operandCount, char** operands);
extern const char LIST_HELP[];

int RunCheck(const char* command, int operandCount, char** operands);
extern const char CHECK_HELP[];

int RunExtract(const char* command, int operandCount, char** operands);
extern const char EXTRACT_HELP[];

// Set by --fast, which compress and create accept: encode with the greedy
// parse (faster, a little larger) instead of the look-ahead parse.
extern bool fastParseRequested;

// True for the commands that take --fast.
bool TakesFastOption(const char* command);

// "qdxpack: FILE: problem" on stderr.
void ReportFileError(const char* file, const char* problem);

// "qdxpack COMMAND: problem" and a pointer to the help on stderr; returns
// EXIT_USAGE for the handler to pass on.
int ReportUsageError(const char* command, const char* problem);

// Checks the operand count; reports a usage error when it is not `expected`.
bool HasOperands(const char* command, int operandCount, int expected);

// True when the two operands certainly name the same file, which a command
// that truncates its output must refuse. Compares the spelling only.
bool SamePath(const char* first, const char* second);

#endif
