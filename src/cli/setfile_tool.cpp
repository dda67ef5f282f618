// The command line, described once: CLI11 parses it and writes --help from
// the same description.
#include "cli/setfile_tool.h"

#include <CLI/CLI.hpp>
#include <algorithm>

#include "cli/check.h"
#include "cli/diff.h"
#include "cli/show.h"
#include "cli/tool_status.h"

namespace korvane {
namespace {

constexpr const char* kDescription =
    "Shows, compares and checks Korvane set files (*.set) without a controller:\n"
    "what a file holds, as the window shows it once the file has been loaded\n"
    "into a controller and read back; what two files send the controller\n"
    "differently; and whether a load would send a file whole.\n";

constexpr const char* kFooter =
    "Values are compared as a load sends them: line ends, the order of the keys\n"
    "and the spellings NUM_CYLS=/TRG_REV = and IGN_CYCS=/TRG_INJ = do not count.\n"
    "\n"
    "Exit status: 0 when check finds the file sent whole or diff finds no\n"
    "difference; 1 when check finds lines a load refuses or diff finds\n"
    "differences; 2 when a file cannot be read, is no set file, or (for show\n"
    "and diff) would be refused by a load, and for a bad command line.\n";

struct Request {
  std::string fileA, fileB;
  bool raw = false;
};

void addFile(CLI::App& command, const char* name, std::string& file, const char* description) {
  command.add_option(name, file, description)->required()->type_name("");
}

void describe(CLI::App& app, Request& request) {
  app.get_formatter()->column_width(20);

  CLI::App* show = app.add_subcommand("show", "FILE's parameters and gain map, as the window shows them");
  show->add_flag("--raw", request.raw, "the raw values the load sends, in place of the window's texts");
  addFile(*show, "FILE", request.fileA, "the set file");

  CLI::App* diff = app.add_subcommand("diff", "what FILE_A and FILE_B send the controller differently");
  addFile(*diff, "FILE_A", request.fileA, "the first set file");
  addFile(*diff, "FILE_B", request.fileB, "the second set file");

  CLI::App* check = app.add_subcommand("check", "every line of FILE a load refuses, and what FILE leaves out");
  addFile(*check, "FILE", request.fileA, "the set file");

  // Set last, so that the commands' own help does not repeat it.
  app.footer(kFooter);
}

}  // namespace

int runSetFileTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app(kDescription, kToolName);
  Request request;
  describe(app, request);
  try {
    std::vector<std::string> reversed(args.rbegin(), args.rend());  // CLI11 takes them from the back
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return 0;
  } catch (const CLI::ParseError& e) {
    err << kToolName << ": " << e.what() << "\nTry '" << kToolName << " --help'.\n";
    return kExitTrouble;
  }
  if (app.got_subcommand("show")) return runShow(request.fileA, request.raw, out, err);
  if (app.got_subcommand("diff")) return runDiff(request.fileA, request.fileB, out, err);
  if (app.got_subcommand("check")) return runCheck(request.fileA, out, err);
  err << kToolName << ": a command is needed: show, diff or check\nTry '" << kToolName << " --help'.\n";
  return kExitTrouble;
}

}  // namespace korvane
