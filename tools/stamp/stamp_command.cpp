#include "stamp_command.h"

#include "host_name.h"
#include "marked_block.h"
#include "public_key_pem.h"
#include "stamp_file.h"
#include "stamp_floor_block.h"
#include "stamp_image.h"
#include "stamp_key_block.h"
#include "stray_quote.h"

namespace Stamp {

const char kUsage[] =
    "usage: stamp <exe> [--download-id X] [--host X] [--service-path X] [--brand X]\n"
    "             [--checksum X] [--raw] [--public-key <key.pem>|none]\n"
    "             [--release-floor N] [--output <copy.exe>] [--print]\n"
    "Writes build settings into an updater executable (in place, or into a\n"
    "stamped copy with --output). --print lists the slot texts afterwards.\n"
    "--public-key stamps the P-256 key (PEM, as `openssl ec -pubout` writes it)\n"
    "that update documents must be signed with; \"none\" removes it.\n"
    "--release-floor N: the updater refuses a signed document whose release\n"
    "number is below N, even on a machine without a record of an earlier one\n"
    "(0 removes the floor).\n"
    "A download id or host made only of hex digits is stored hex-encoded so the\n"
    "updater reads it back unchanged; --raw stores it as given instead.\n";

namespace {

// The value slot named by an option ("--brand" gives 4), or 0.
int SlotOfOption(const std::string& option) {
    for (int slot = kFirstValueSlot; slot <= kLastValueSlot; ++slot) {
        if (option == std::string("--") + SlotName(slot)) {
            return slot;
        }
    }
    return 0;
}

std::string TakeValue(const std::vector<std::string>& args, std::size_t& i) {
    if (i + 1 >= args.size()) {
        throw UsageError(args[i] + " needs a value");
    }
    return args[++i];
}

void ApplyOption(StampOptions& options, const std::vector<std::string>& args, std::size_t& i) {
    const std::string& arg = args[i];
    if (const int slot = SlotOfOption(arg)) {
        if (options.values[slot]) {
            throw UsageError(arg + " given twice");
        }
        options.values[slot] = TakeValue(args, i);
    } else if (arg == "--output") {
        if (!options.output.empty()) {
            throw UsageError("--output given twice");
        }
        options.output = TakeValue(args, i);
    } else if (arg == "--public-key") {
        if (options.publicKey) {
            throw UsageError("--public-key given twice");
        }
        options.publicKey = TakeValue(args, i);
    } else if (arg == "--release-floor") {
        if (options.releaseFloor) {
            throw UsageError("--release-floor given twice");
        }
        options.releaseFloor = TakeValue(args, i);
    } else if (arg == "--print") {
        options.print = true;
    } else if (arg == "--raw") {
        options.asGiven = true;
    } else if (arg.rfind("--", 0) == 0 || !options.input.empty()) {
        throw UsageError("unexpected argument " + arg);
    } else {
        options.input = arg;
    }
}

// The updater names its product key, folders and shortcuts after the brand
// and refuses to run with one that is not a single folder name; a stamp that
// it would refuse is better refused here, before the build ships.
void CheckBrand(const std::string& brand) {
    bool control = false;
    for (unsigned char c : brand) control = control || c < 0x20;
    if (brand.empty() || brand == "." || brand == ".." || control ||
        brand.find_first_of("\\/:<>\"|?*") != std::string::npos) {
        throw UsageError(
            "--brand must work as one folder name: not empty, not . or .., and without "
            "\\ / : < > \" | ? * or control characters");
    }
}

// The updater reaches its service only at a host name, optionally with a
// port; a scheme or path (http://host/) would only show as a failed download.
void CheckHost(const std::string& host) {
    const std::string problem = HostNameProblem(host);
    if (!problem.empty()) throw UsageError("--host " + problem);
}

// The updater's build token, compared with its entry in the release, where
// the release tool takes only 32 hex digits.
void CheckChecksum(const std::string& checksum) {
    if (checksum.size() != 32 ||
        checksum.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        throw UsageError("--checksum must be 32 hex digits");
}

bool HasValues(const StampOptions& options) {
    if (options.publicKey || options.releaseFloor) {
        return true;
    }
    for (const auto& value : options.values) {
        if (value) {
            return true;
        }
    }
    return false;
}

void PrintSlots(const std::string& image, std::size_t block, std::ostream& out) {
    for (int slot = kFirstValueSlot; slot <= kLastValueSlot; ++slot) {
        out << SlotName(slot) << '=' << ReadSlotText(image, block, slot) << '\n';
    }
    // An image built before the key block existed prints no key line.
    const std::size_t keyBlock = FindKeyBlock(image);
    if (keyBlock != kNoKeyBlock) {
        out << KeyLine(ReadKey(image, keyBlock)) << '\n';
    }
    const std::size_t floorBlock = FindFloorBlock(image);
    if (floorBlock != kNoMarkedBlock) {
        out << FloorLine(ReadFloor(image, floorBlock)) << '\n';
    }
}

// The key that --public-key names: "" for "none".
std::string KeyFromOption(const std::string& value) {
    return value == "none" ? std::string() : ParsePublicKeyPem(ReadWholeFile(value));
}

void StampKey(std::string& image, const std::string& value) {
    const std::size_t keyBlock = FindKeyBlock(image);
    if (keyBlock == kNoKeyBlock) {
        throw StampError("this executable has no document key block (built before signing)");
    }
    WriteKey(image, keyBlock, KeyFromOption(value));
}

void StampFloor(std::string& image, const std::string& value) {
    const std::size_t floorBlock = FindFloorBlock(image);
    if (floorBlock == kNoMarkedBlock) {
        throw StampError("this executable has no release floor block (built before release floors)");
    }
    WriteFloor(image, floorBlock, ParseFloor(value));
}

}  // namespace

StampOptions ParseArguments(const std::vector<std::string>& args) {
    StampOptions options;
    for (const std::string& arg : args) {
        const std::string problem = StrayQuoteProblem(arg);
        if (!problem.empty()) throw UsageError(problem);
    }
    for (std::size_t i = 0; i < args.size(); ++i) {
        ApplyOption(options, args, i);
    }
    if (options.input.empty()) {
        throw UsageError("no executable given");
    }
    if (const auto& brand = options.values[SlotOfOption("--brand")]) {
        CheckBrand(*brand);
    }
    if (const auto& host = options.values[SlotOfOption("--host")]) {
        CheckHost(*host);
    }
    if (const auto& checksum = options.values[SlotOfOption("--checksum")]) {
        CheckChecksum(*checksum);
    }
    if (options.releaseFloor) {
        try {
            ParseFloor(*options.releaseFloor);
        } catch (const StampError& e) {
            throw UsageError(std::string("--release-floor: ") + e.what());
        }
    }
    if (!HasValues(options) && !options.print) {
        throw UsageError("nothing to do: give a value to write or --print");
    }
    if (!HasValues(options) && !options.output.empty()) {
        throw UsageError("--output needs a value to write");
    }
    return options;
}

int RunStamp(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    StampOptions options;
    try {
        options = ParseArguments(args);
    } catch (const UsageError& e) {
        err << "stamp: " << e.what() << '\n' << kUsage;
        return 2;
    }
    try {
        std::string image = ReadWholeFile(options.input);
        const std::size_t block = FindBlock(image);
        if (HasValues(options)) {
            // Every value is checked and written in memory before the file is touched.
            for (int slot = kFirstValueSlot; slot <= kLastValueSlot; ++slot) {
                if (options.values[slot]) {
                    const std::string text =
                        SlotTextFor(slot, *options.values[slot], options.asGiven);
                    WriteSlotText(image, block, slot, text);
                }
            }
            if (options.publicKey) {
                StampKey(image, *options.publicKey);
            }
            if (options.releaseFloor) {
                StampFloor(image, *options.releaseFloor);
            }
            const std::string& target = options.output.empty() ? options.input : options.output;
            ReplaceFile(target, image, options.input);
        }
        if (options.print) {
            PrintSlots(image, block, out);
        }
    } catch (const StampError& e) {
        err << "stamp: " << e.what() << '\n';
        return 1;
    }
    return 0;
}

}  // namespace Stamp
