// forge sound: every recipe of the sources rendered to <name>.wav.
#include <cstdio>
#include <set>
#include <stdexcept>

#include "commands.h"
#include "forge/sound_recipe_source.h"
#include "forge/synth.h"
#include "forge/wav_writer.h"

namespace {

int run(const std::vector<std::string>& args) {
    std::string output;
    std::vector<std::string> sources;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size())
            output = args[++i];
        else
            sources.push_back(args[i]);
    }
    if (sources.empty() || output.empty())
        throw std::runtime_error("usage: forge sound <recipes>... -o <folder>");
    // Everything is read and checked before the first file is written.
    std::vector<forge::sound_recipe> recipes;
    std::set<std::string> names;
    for (const std::string& source : sources) {
        for (forge::sound_recipe& recipe :
             forge::parse_sound_recipes(forge_tool::read_whole(source), source)) {
            if (!names.insert(recipe.name).second)
                throw std::runtime_error(source + ":" + std::to_string(recipe.source_line) + ": sound " +
                                         recipe.name + " is also in an earlier source");
            recipes.push_back(std::move(recipe));
        }
    }
    for (const forge::sound_recipe& recipe : recipes) {
        const std::vector<float> samples = forge::render_sound(recipe);
        forge::write_wav(output + "/" + recipe.name + ".wav",
                         forge::wav_from_floats(samples, recipe.rate, recipe.bits));
    }
    std::printf("%zu sounds written to %s\n", recipes.size(), output.c_str());
    return 0;
}

forge_tool::forge_registration reg(
    {"sound", "<recipes>... -o <folder>",
     "renders every sound recipe to <name>.wav (22050 Hz 16-bit mono unless asked)", run});
}  // namespace
