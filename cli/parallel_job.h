#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "jmi.h"
#include "job_progress.h"

namespace velmora::cli {

// One file of a job's plan, made before any file is coded.
struct PlannedFile {
    std::filesystem::path source;
    std::string folder;     // target folder, ending in "/"
    std::string name;       // the source's own name
    std::string target;     // the target chosen by the plan
    std::int64_t size = 0;  // for the progress bar only: 0 when no bar is drawn
};

// The size of `path` in bytes, 0 when it cannot be read (the file then fails when it is coded).
std::int64_t FileSizeOrZero(const std::filesystem::path& path);

// Codes one file with `engine`, reporting to `job`; returns the path the new file got, or an
// empty path when the job was stopped inside the file (its partial target is gone then).
// Throws `common::Error` when the file fails.
using CodeFile = std::function<std::filesystem::path(engine::Jmi& engine, const PlannedFile& file,
                                                     engine::JobContext& job)>;
// Told of every finished file, on the worker's thread, one call at a time.
using FileFinished =
    std::function<void(const PlannedFile& file, const std::filesystem::path& written)>;

// Codes the files of `plan` with one worker per engine, each taking the next file of the plan
// as it becomes free. The workers report bytes and files to `progress`; `stop` is asked at
// every check the engine makes (every block and every 300000 bytes) and before every file.
// The first error stops every worker at its next check and is thrown once all have ended;
// unfinished targets are removed, finished files stay. Returns false when `stop` ended the
// job, true when every file was coded. One engine codes on the calling thread.
bool RunOnWorkers(const std::vector<PlannedFile>& plan, const std::vector<engine::Jmi*>& engines,
                  const CodeFile& code, const FileFinished& finished, JobProgress& progress,
                  const std::function<bool()>& stop);

}  // namespace velmora::cli
