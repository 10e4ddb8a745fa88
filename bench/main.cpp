// Benchmark driver: a whole headless run, or each of its operations alone.
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchCommands.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "run")
        return quellor::bench::RunCommand({args.begin() + 1, args.end()});
    if (!args.empty() && args[0] == "copy")
        return quellor::bench::CopyCommand({args.begin() + 1, args.end()});
    if (!args.empty() && args[0] == "sortmem")
        return quellor::bench::SortMemoryCommand({args.begin() + 1, args.end()});
    if (!args.empty() && args[0] == "preview")
        return quellor::bench::PreviewCommand({args.begin() + 1, args.end()});
    if (!args.empty() && args[0] == "ops")
        return quellor::bench::OpsCommand({args.begin() + 1, args.end()});
    std::fprintf(
        stderr,
        "usage: quellor_bench run [--sort N [--desc] [--dup]] [--filter N --contains PAT]\n"
        "                         [--cut A,B,...] [--fields N] [--empty-no-file] [--typed] IN OUT "
        "DUP\n"
        "       quellor_bench ops IN [PAT] [SCRATCH]\n"
        "       quellor_bench copy IN OUT\n"
        "       quellor_bench sortmem IN [KEY]\n"
        "       quellor_bench preview IN\n");
    return 2;
}
