#pragma once

#include <string>
#include <vector>

namespace quellor::bench {

// quellor_bench run [--sort N [--desc] [--dup]] [--filter N --contains PAT]
//                   [--cut A,B,...] [--fields N] [--empty-no-file] [--typed] IN OUT DUP
// (--typed: the search text is UTF-8 as the window's boxes give it, encoded
// per file; without it, code page 932 bytes as given)
int RunCommand(const std::vector<std::string>& args);
// quellor_bench ops IN [PAT] [SCRATCH]: times each operation alone.
int OpsCommand(const std::vector<std::string>& args);
// quellor_bench copy IN OUT: LoadLines then SaveLines, the engine's answer
// to the harness's read-index-write floor.
int CopyCommand(const std::vector<std::string>& args);
// quellor_bench sortmem IN [KEY]: LoadLines and SortByField KEY (default 1),
// with the peak memory per line and per byte of the file.
int SortMemoryCommand(const std::vector<std::string>& args);
// quellor_bench preview IN: the window's sample line and preview rows, with
// their time and the peak memory, for files of any size.
int PreviewCommand(const std::vector<std::string>& args);

}  // namespace quellor::bench
