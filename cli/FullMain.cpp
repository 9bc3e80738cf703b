// quillon-cli-full: every command of quillon-cli. The front program
// quillon-cli runs the module-reading commands itself and starts this one
// for the rest, so that reading a module does not load the XML, SQLite,
// spelling and font libraries the other commands use.

#include "Commands.h"
#include "Dispatch.h"
#include "Output.h"
#include "io/FileIo.h"
#include "io/Heap.h"

namespace {

namespace cli = quillon::cli;

const cli::HandlerTable kHandlers = {
    {"scan", cli::RunScan},           {"resources", cli::RunResources},
    {"new", cli::RunNew},             {"show", cli::RunShow},
    {"update", cli::RunUpdate},       {"import", cli::RunImport},
    {"dict", cli::RunDict},           {"dict add", cli::RunDictAdd},
    {"translate", cli::RunTranslate}, {"restore", cli::RunRestore},
    {"check", cli::RunCheck},         {"build", cli::RunBuild},
    {"export", cli::RunExport},       {"pseudo", cli::RunPseudo},
    {"replace", cli::RunReplace},
    {"tm lookup", cli::RunTmLookup},  {"tm import", cli::RunTmImport},
    {"tm export", cli::RunTmExport},  {"tm stats", cli::RunTmStats},
    {"tm add", cli::RunTmAdd},
};

// Every command of the table has a handler above; a new one without one is
// a fault of this program, said as such.
int Unhandled(int, char** argv) {
    cli::Err() << "quillon-cli: '" << argv[1] << "' has no handler in quillon-cli-full\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    quillon::InstallTemporaryFileCleanup();
    quillon::PrepareHeapForLargeTrees();
    return cli::Dispatch(argc, argv, kHandlers, Unhandled);
}
