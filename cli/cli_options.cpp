#include "cli_options.h"

#include <cctype>
#include <initializer_list>

namespace {

enum CommandMask : unsigned { kBuild = 1, kRebuild = 2, kFind = 4, kInfo = 8, kIgnore = 16 };

struct OptionSpec {
    const char* name;
    bool takesValue;
    unsigned commands;
    /// Takes the option into `options`; returns why it cannot, empty when fine.
    std::string (*apply)(CliOptions& options, const std::string& value);
};

bool allDigits(const std::string& text) {
    if (text.empty()) {
        return false;
    }
    for (const char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c)) == 0) {
            return false;
        }
    }
    return true;
}

std::string wholeNumber(const char* name, const std::string& value, int lowest, int highest,
                        int& out) {
    // Nine digits cannot overflow; anything longer is out of every range here.
    if (allDigits(value) && value.size() <= 9) {
        const int number = std::stoi(value);
        if (number >= lowest && number <= highest) {
            out = number;
            return {};
        }
    }
    return std::string(name) + " takes a whole number from " + std::to_string(lowest) + " to " +
           std::to_string(highest) + ", not '" + value + "'";
}

// The band edits take digits with an optional decimal part.
std::string percentText(const char* name, const std::string& value, std::string& out) {
    const std::size_t dot = value.find('.');
    const std::string whole = value.substr(0, dot);
    const std::string fraction = dot == std::string::npos ? "" : value.substr(dot + 1);
    if (allDigits(whole) && whole.size() <= 6 && (fraction.empty() || allDigits(fraction))) {
        out = value;
        return {};
    }
    return std::string(name) + " takes a percentage such as 98.5, not '" + value + "'";
}

std::string choice(const char* name, const std::string& value,
                   std::initializer_list<const char*> names, int& out) {
    int index = 0;
    std::string all;
    for (const char* candidate : names) {
        if (value == candidate) {
            out = index;
            return {};
        }
        all += (index == 0 ? "" : ", ") + std::string(candidate);
        ++index;
    }
    return std::string(name) + " takes one of " + all + ", not '" + value + "'";
}

const OptionSpec kOptions[] = {
    {"-o", true, kBuild | kRebuild | kFind,
     [](CliOptions& o, const std::string& v) {
         o.output = v;
         return std::string(v.empty() ? "-o needs a file name" : "");
     }},
    {"--recursive", false, kBuild,
     [](CliOptions& o, const std::string&) {
         o.recursive = true;
         return std::string();
     }},
    {"--no-split", false, kBuild | kRebuild,
     [](CliOptions& o, const std::string&) {
         o.noSplit = true;
         return std::string();
     }},
    {"--threads", true, kBuild | kRebuild | kFind,
     [](CliOptions& o, const std::string& v) {
         return wholeNumber("--threads", v, 0, 1024, o.threads);
     }},
    {"--quiet", false, kBuild | kRebuild | kFind,
     [](CliOptions& o, const std::string&) {
         o.quiet = true;
         return std::string();
     }},
    {"--formats", true, kBuild | kRebuild,
     [](CliOptions& o, const std::string& v) {
         int all = 1;
         std::string error = choice("--formats", v, {"classic", "all"}, all);
         o.formats = all == 1 ? ImageFormats::All : ImageFormats::Classic;
         return error;
     }},
    {"--secondary", true, kFind,
     [](CliOptions& o, const std::string& v) {
         o.secondary = v;
         return std::string(v.empty() ? "--secondary needs a file name" : "");
     }},
    {"--single", true, kFind,
     [](CliOptions& o, const std::string& v) {
         o.single = v;
         return std::string(v.empty() ? "--single needs a file name" : "");
     }},
    {"--low", true, kFind,
     [](CliOptions& o, const std::string& v) { return percentText("--low", v, o.lowText); }},
    {"--high", true, kFind,
     [](CliOptions& o, const std::string& v) { return percentText("--high", v, o.highText); }},
    {"--method", true, kFind,
     [](CliOptions& o, const std::string& v) {
         return choice("--method", v, {"euclidean", "weighted", "variance", "luminance"},
                       o.settings.method);
     }},
    {"--restrict", true, kFind,
     [](CliOptions& o, const std::string& v) {
         int restriction = static_cast<int>(o.settings.restriction);
         std::string error = choice("--restrict", v, {"none", "aspect", "size"}, restriction);
         o.settings.restriction = static_cast<MatchRestriction>(restriction);
         return error;
     }},
    {"--tolerance", true, kFind,
     [](CliOptions& o, const std::string& v) {
         std::string error = wholeNumber("--tolerance", v, 0, 100, o.settings.aspectTol);
         o.settings.sizeTol = o.settings.aspectTol;
         return error;
     }},
    {"--adjust", true, kFind,
     [](CliOptions& o, const std::string& v) {
         o.settings.adjustColor = true;
         return wholeNumber("--adjust", v, 0, 100, o.settings.adjustAmount);
     }},
    {"--mirror", false, kFind,
     [](CliOptions& o, const std::string&) {
         o.settings.checkMirror = true;
         return std::string();
     }},
    {"--rotate", false, kFind,
     [](CliOptions& o, const std::string&) {
         o.settings.checkRotation = true;
         return std::string();
     }},
    {"--use-luminance", false, kFind,
     [](CliOptions& o, const std::string&) {
         o.settings.useLumForGrey = true;
         return std::string();
     }},
    {"--prescreen", false, kFind,
     [](CliOptions& o, const std::string&) {
         o.settings.prescreen = true;
         return std::string();
     }},
    {"--limit", true, kFind,
     [](CliOptions& o, const std::string& v) {
         return wholeNumber("--limit", v, 10, 1'000'000, o.dupsLimit);
     }},
    {"--format", true, kFind,
     [](CliOptions& o, const std::string& v) {
         int format = 0;
         std::string error = choice("--format", v, {"log", "csv", "json", "groups"}, format);
         o.format = static_cast<PairFormat>(format);
         return error;
     }},
    {"--no-ignore", false, kFind,
     [](CliOptions& o, const std::string&) {
         o.useNotDups = false;
         return std::string();
     }},
    {"--records", false, kInfo,
     [](CliOptions& o, const std::string&) {
         o.records = true;
         return std::string();
     }},
};

struct CommandSpec {
    const char* name;
    CliCommand command;
    unsigned mask;
    const char* inputName;
    bool manyInputs;
};

const CommandSpec kCommands[] = {
    {"build", CliCommand::Build, kBuild, "SOURCE", false},
    {"rebuild", CliCommand::Rebuild, kRebuild, "DATA.dup", false},
    {"find", CliCommand::Find, kFind, "PRIMARY.dup", true},
    {"info", CliCommand::Info, kInfo, "DATA.dup", false},
    {"ignore", CliCommand::Ignore, kIgnore, "add, remove, list or clear", false},
};

// "add A B", "remove A B", "list", "clear": the action is the input, the images follow.
std::string checkIgnoreAction(const CliOptions& options) {
    const bool twoImages = options.input == "add" || options.input == "remove";
    if (!twoImages && options.input != "list" && options.input != "clear") {
        return "ignore takes add, remove, list or clear, not '" + options.input + "'";
    }
    const std::size_t wanted = twoImages ? 2 : 0;
    if (options.paths.size() != wanted) {
        return "ignore " + options.input + (twoImages ? " needs two images" : " takes no images");
    }
    return {};
}

const OptionSpec* findOption(const std::string& name) {
    for (const OptionSpec& spec : kOptions) {
        if (name == spec.name || (name == "--output" && std::string(spec.name) == "-o")) {
            return &spec;
        }
    }
    return nullptr;
}

ParsedCommandLine failure(std::string error) {
    ParsedCommandLine parsed;
    parsed.error = std::move(error);
    return parsed;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--") {
            break;
        }
        if (arg == "--help" || arg == "-h") {
            return {};
        }
    }
    if (args.empty()) {
        return failure("no command given");
    }
    if (args[0] == "--version") {
        ParsedCommandLine parsed;
        parsed.options.command = CliCommand::Version;
        return args.size() == 1 ? parsed : failure("--version takes no arguments");
    }
    const CommandSpec* command = nullptr;
    for (const CommandSpec& spec : kCommands) {
        if (args[0] == spec.name) {
            command = &spec;
        }
    }
    if (command == nullptr) {
        return failure("unknown command '" + args[0] + "'");
    }

    ParsedCommandLine parsed;
    CliOptions& options = parsed.options;
    options.command = command->command;
    bool optionsEnded = false;
    bool haveInput = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            if (haveInput && options.command == CliCommand::Ignore) {
                options.paths.push_back(arg);
                continue;
            }
            if (haveInput && !command->manyInputs) {
                return failure("unexpected argument '" + arg + "'");
            }
            if (!haveInput) {
                options.input = arg;
            }
            options.inputs.push_back(arg);
            haveInput = true;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const OptionSpec* spec = findOption(name);
        if (spec == nullptr || (spec->commands & command->mask) == 0) {
            return failure("'" + name + "' is not an option of " + command->name);
        }
        std::string value;
        if (equals != std::string::npos) {
            if (!spec->takesValue) {
                return failure(name + " takes no value");
            }
            value = arg.substr(equals + 1);
        } else if (spec->takesValue) {
            if (i + 1 >= args.size()) {
                return failure(name + " needs a value");
            }
            value = args[++i];
        }
        std::string error = spec->apply(options, value);
        if (!error.empty()) {
            return failure(std::move(error));
        }
    }
    if (!haveInput) {
        return failure(std::string(command->name) + " needs " + command->inputName);
    }
    if (options.command == CliCommand::Ignore) {
        std::string error = checkIgnoreAction(options);
        return error.empty() ? parsed : failure(std::move(error));
    }
    if (options.command != CliCommand::Info && options.output.empty()) {
        return failure(std::string(command->name) + " needs -o FILE");
    }
    if (!options.secondary.empty() && !options.single.empty()) {
        return failure("--secondary and --single cannot be used together");
    }
    return parsed;
}

std::vector<std::string> CommandOptionNames(CliCommand command) {
    std::vector<std::string> names;
    for (const CommandSpec& spec : kCommands) {
        if (spec.command != command) {
            continue;
        }
        for (const OptionSpec& option : kOptions) {
            if ((option.commands & spec.mask) != 0) {
                names.emplace_back(option.name);
                if (names.back() == "-o") {
                    names.emplace_back("--output");
                }
            }
        }
        names.emplace_back("--help");
    }
    return names;
}

const char* UsageText() {
    return R"(Usage:
  twinly-cli build SOURCE -o DATA.dup [--recursive] [--formats classic|all]
             [--no-split] [--threads N] [--quiet]
  twinly-cli rebuild DATA.dup -o NEW.dup [--formats classic|all] [--no-split]
             [--threads N] [--quiet]
  twinly-cli find PRIMARY.dup... -o LOG [--secondary OTHER.dup | --single IMAGE]
             [--low 98.0] [--high 100.0]
             [--method euclidean|weighted|variance|luminance]
             [--restrict none|aspect|size] [--tolerance PERCENT]
             [--adjust AMOUNT] [--mirror] [--rotate] [--use-luminance]
             [--prescreen] [--limit N] [--threads N]
             [--format log|csv|json|groups] [--no-ignore] [--quiet]
  twinly-cli info DATA.dup [--records]
  twinly-cli ignore add IMAGE1 IMAGE2 | remove IMAGE1 IMAGE2 | list | clear
  twinly-cli --help | --version

Commands:
  build    read every image of SOURCE (a folder, or an image list .lst) into
           an image data file; past 32,000 images into DATA.dup, DATA-2.dup,
           DATA-3.dup... of 32,000 each
  rebuild  bring an image data file (with the rest of its split set) up to
           date with its source, reading only the images it does not hold yet
  find     compare the images of every PRIMARY with each other (or with those
           of a second data file, or with one image) and write the matching
           pairs
  info     show what an image data file holds
  ignore   mark a pair of images not a duplicate, so that find leaves it out
           (until either file changes), forget one pair or all, or list them

Options:
  -o FILE              the file to write; it is replaced only when complete
  --recursive          include all subfolders of a SOURCE folder
  --formats F          classic: only BMP, JPEG, TIFF, PNG, PCX, Targa,
                       Photoshop, GIF, WMF and EMF files are images; all: also
                       HEIC, AVIF, WebP, JPEG XL and camera raw files. The
                       default is the window's "Read HEIC, AVIF, WebP,
                       JPEG XL and RAW" switch (on unless turned off)
  --no-split           keep to one data file: its first 32,000 images
  --threads N          worker threads; 0, the default, is one per core
  --quiet              show no progress
  --secondary FILE     compare the images of FILE with those of every PRIMARY
  --single IMAGE       compare one image with those of every PRIMARY
  --low P, --high P    a pair is a duplicate if its match is within P% to P%
                       (75 to 100, one decimal; default 98.0 to 100)
  --method M           euclidean (default), weighted, variance or luminance
  --restrict R         none (default), aspect (same aspect ratio) or size
  --tolerance P        aspect ratio or size tolerance, 0 to 100 percent
  --adjust A           adjust for the mean colour difference, at most A
                       levels (0 to 100)
  --mirror             also check for images mirrored left to right
  --rotate             also check for images turned 90, 180 and 270 degrees
                       (with --mirror, turned and mirrored too)
  --use-luminance      compare on luminance if one image is greyscale
  --prescreen          skip pairs whose mean colours differ too much
                       (not with --single)
  --limit N            record at most N pairs (10 to 1000000, default 1000)
  --format F           log (the dups log, default), csv, json or groups (one
                       line of tab-separated paths per group of copies)
  --no-ignore          also write the pairs marked not a duplicate
  --records            also list every record

Progress goes to stderr. Ctrl+C stops a command without writing its file.
In JSON output, path bytes that are not UTF-8 appear as \udc80 to \udcff.
Exit status: 0 done, 1 a file cannot be read or written, 2 bad command line,
130 stopped by a signal.
)";
}
