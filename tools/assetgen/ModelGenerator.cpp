// Writes the static models, the rigged characters and their animation files. The whole set
// takes about a second, so it is written in order on one thread.
#include "assetgen/ModelGenerator.h"

#include "assetgen/ModelExport.h"
#include "assetgen/ModelShapes.h"
#include "assetgen/RigCharacters.h"

#include <functional>

namespace assetgen {

namespace {

struct Job {
    std::string path;
    std::function<bool(const std::filesystem::path&, std::string&)> write;
};

std::vector<Job> Jobs(const std::vector<models::StaticModel>& statics, const std::vector<models::Character>& characters)
{
    std::vector<Job> jobs;
    for (const models::StaticModel& model : statics)
        jobs.push_back({model.path, [&model](const std::filesystem::path& file, std::string& error) {
                            return models::WriteStaticModel(model.mesh, file, error);
                        }});
    for (const models::Character& character : characters) {
        jobs.push_back({character.modelPath, [&character](const std::filesystem::path& file, std::string& error) {
                            return models::WriteRiggedModel(character.mesh, character.rig, character.ownClips, file,
                                                            error);
                        }});
        for (const models::AnimationFile& animation : character.animationFiles)
            jobs.push_back({animation.path, [&character, &animation](const std::filesystem::path& file, std::string& error) {
                                return models::WriteAnimation(character.rig, animation.clip, file, error);
                            }});
    }
    return jobs;
}

}  // namespace

std::vector<std::string> ModelFiles()
{
    const std::vector<models::StaticModel> statics = models::StaticModels();
    const std::vector<models::Character> characters = models::Characters();
    std::vector<std::string> paths;
    for (const Job& job : Jobs(statics, characters))
        paths.push_back(job.path);
    return paths;
}

Result GenerateModels(const Options& options)
{
    const std::vector<models::StaticModel> statics = models::StaticModels();
    const std::vector<models::Character> characters = models::Characters();
    const std::vector<Job> jobs = Jobs(statics, characters);

    Result result;
    for (const Job& job : jobs) {
        std::string error;
        if (!job.write(options.outDir / job.path, error))
            result.errors.push_back(error);
    }
    return result;
}

}  // namespace assetgen
