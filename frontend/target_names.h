#pragma once

#include <set>
#include <string>

#include "fso.h"

namespace velmora::frontend::FSmdcl {

// Path of a new encrypted file for `name` in `folder` (which ends in "/"): the name with
// ".jmw" appended; while that file exists, a number goes in front of the name
// (report.doc.jmw, 1report.doc.jmw, 2report.doc.jmw, ...).
std::string EncTargetName(const common::Fso& fso, const std::string& folder,
                          const std::string& name);

// Path of a new decrypted file: the name without a final ".jmw" (in any case), numbered in
// front like `EncTargetName` while taken. A name that is only ".jmw" keeps its whole name, so
// the target is never the folder itself.
std::string DecTargetName(const common::Fso& fso, const std::string& folder,
                          const std::string& name);

// The same, also counting every path in `reserved` as taken: a folder's names can then all be
// chosen before the first of its files is written, with the result of choosing them one by one.
// In a folder that is `empty` (one a folder walk has just made) only `reserved` can be taken,
// and the disk is not asked.
std::string EncTargetName(const common::Fso& fso, const std::string& folder,
                          const std::string& name, const std::set<std::string>& reserved,
                          bool empty = false);
std::string DecTargetName(const common::Fso& fso, const std::string& folder,
                          const std::string& name, const std::set<std::string>& reserved,
                          bool empty = false);

// `DecTargetName` when `decrypt`, else `EncTargetName`: the name a job of that direction gives.
std::string TargetName(bool decrypt, const common::Fso& fso, const std::string& folder,
                       const std::string& name, const std::set<std::string>& reserved,
                       bool empty = false);

// True when `name` ends in ".jmw", in any case.
bool EndsWithJmw(const std::string& name);

}  // namespace velmora::frontend::FSmdcl
