#include "publish_command.h"

#include <filesystem>
#include <new>

#include "content_token.h"
#include "key_files.h"
#include "publish_error.h"
#include "release_verifier.h"
#include "setting_values.h"
#include "stray_quote.h"

namespace Publish {

const char kUsage[] =
    "usage: publish release --settings <file> --files <product folder> --out <tree>\n"
    "                       [--tools <folder>] [--updater <exe>] [--replace] [--level <1-22>]\n"
    "                       [--key <file.key> --release-number <n> [--old-key <file.key>]]\n"
    "       publish verify --tree <tree> [--public-key <file.pub.pem>]\n"
    "       publish keygen --out <name>\n"
    "       publish token <file>...\n"
    "       publish --help\n"
    "release  writes <tree>/documents/<download id> and <tree>/files/... from the product\n"
    "         folder and the settings file (see docs/publishing.md). --tools names the\n"
    "         folder with unkelz.exe and unkelw.exe, --updater a stamped updater to list\n"
    "         (both may come from the settings file instead). An existing <tree> is\n"
    "         refused unless --replace is given. --level sets the zstd level.\n"
    "         --key signs every document and --release-number (0 to 2^63-1) is\n"
    "         written into it; one needs the other (both may come from the settings\n"
    "         file instead). During a change of key, --old-key signs each document\n"
    "         again with the key being retired, for updaters that still carry it.\n"
    "verify   checks a release tree before it is served: each document's signature\n"
    "         (with --public-key), its shape, and every file it lists: present, of\n"
    "         the listed size, and of the listed Sha256 once unpacked. One line per\n"
    "         problem, one summary line per document; exit code 1 on any problem.\n"
    "keygen   writes a new ECDSA P-256 key pair: <name>.key (the private key, keep\n"
    "         it secret) and <name>.pub.pem (for stamp --public-key). Existing files\n"
    "         are never overwritten.\n"
    "token    prints the CheckSum token of each file (SHA-256 of its content, first\n"
    "         16 bytes in hex).\n"
    "Exit codes: 0 done, 1 refused or failed, 2 bad command line.\n";

namespace {

std::string TakeValue(const std::vector<std::string>& args, std::size_t& i) {
    if (i + 1 >= args.size()) throw UsageError(args[i] + " needs a value");
    return args[++i];
}

void SetOnce(std::string& field, const std::vector<std::string>& args, std::size_t& i) {
    if (!field.empty()) throw UsageError(args[i] + " given twice");
    field = TakeValue(args, i);
    if (field.empty()) throw UsageError(args[i - 1] + " needs a value");
}

int ParseLevel(const std::string& text) {
    if (text.empty() || text.size() > 2 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        throw UsageError("--level takes a number from 1 to 22");
    const int level = std::stoi(text);
    if (level < 1 || level > 22) throw UsageError("--level takes a number from 1 to 22");
    return level;
}

int RunRelease(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const ReleaseOptions options = ParseReleaseArguments(args);
    const ReleaseSummary summary = BuildRelease(options, err);
    out << "published " << summary.listedFiles << " files (" << summary.packedFiles << " packed, "
        << summary.sourceBytes << " bytes of product files, " << summary.servedBytes
        << " bytes served) into " << options.outFolder;
    if (summary.releaseNumber) out << ", signed as release " << *summary.releaseNumber;
    out << '\n';
    return 0;
}

int RunKeygen(const std::vector<std::string>& args, std::ostream& out) {
    std::string base;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--out") throw UsageError("unexpected argument " + args[i]);
        SetOnce(base, args, i);
    }
    if (base.empty()) throw UsageError("keygen needs --out");
    const KeyPairPaths paths = WriteKeyPair(base);
    out << "wrote " << paths.privateKey << " (private key, keep it secret) and " << paths.publicKey
        << '\n';
    return 0;
}

int RunVerify(const std::vector<std::string>& args, std::ostream& out) {
    VerifyOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--tree")
            SetOnce(options.tree, args, i);
        else if (args[i] == "--public-key")
            SetOnce(options.publicKey, args, i);
        else
            throw UsageError("unexpected argument " + args[i]);
    }
    if (options.tree.empty()) throw UsageError("verify needs --tree");
    return VerifyRelease(options, out) == 0 ? 0 : 1;
}

int RunToken(const std::vector<std::string>& args, std::ostream& out) {
    if (args.empty()) throw UsageError("token needs at least one file");
    for (const std::string& file : args) out << ContentToken(file) << "  " << file << '\n';
    return 0;
}

}  // namespace

ReleaseOptions ParseReleaseArguments(const std::vector<std::string>& args) {
    ReleaseOptions options;
    std::string level;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--settings")
            SetOnce(options.settingsPath, args, i);
        else if (arg == "--files")
            SetOnce(options.productFolder, args, i);
        else if (arg == "--tools")
            SetOnce(options.toolsFolder, args, i);
        else if (arg == "--updater")
            SetOnce(options.updaterExe, args, i);
        else if (arg == "--out")
            SetOnce(options.outFolder, args, i);
        else if (arg == "--level")
            SetOnce(level, args, i);
        else if (arg == "--key")
            SetOnce(options.signingKey, args, i);
        else if (arg == "--release-number")
            SetOnce(options.releaseNumber, args, i);
        else if (arg == "--old-key")
            SetOnce(options.oldSigningKey, args, i);
        else if (arg == "--replace")
            options.replaceExisting = true;
        else
            throw UsageError("unexpected argument " + arg);
    }
    if (options.settingsPath.empty()) throw UsageError("release needs --settings");
    if (options.productFolder.empty()) throw UsageError("release needs --files");
    if (options.outFolder.empty()) throw UsageError("release needs --out");
    if (!level.empty()) options.zstdLevel = ParseLevel(level);
    const std::string problem = ReleaseNumberProblem(options.releaseNumber);
    if (!options.releaseNumber.empty() && !problem.empty())
        throw UsageError("--release-number " + problem);
    return options;
}

int RunPublish(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        if (args.empty()) throw UsageError("no subcommand given");
        for (const std::string& arg : args) {
            const std::string problem = Stamp::StrayQuoteProblem(arg);
            if (!problem.empty()) throw UsageError(problem);
        }
        const std::string& command = args[0];
        const std::vector<std::string> rest(args.begin() + 1, args.end());
        if (command == "--help" || command == "-h" || command == "help") {
            out << kUsage;
            return 0;
        }
        if (command == "release") return RunRelease(rest, out, err);
        if (command == "token") return RunToken(rest, out);
        if (command == "keygen") return RunKeygen(rest, out);
        if (command == "verify") return RunVerify(rest, out);
        throw UsageError("unknown subcommand " + command);
    } catch (const UsageError& e) {
        err << "publish: " << e.what() << '\n' << kUsage;
        return 2;
    } catch (const PublishError& e) {
        err << "publish: " << e.what() << '\n';
    } catch (const std::filesystem::filesystem_error& e) {
        err << "publish: " << e.what() << '\n';
    } catch (const std::bad_alloc&) {
        err << "publish: out of memory\n";
    }
    return 1;
}

}  // namespace Publish
