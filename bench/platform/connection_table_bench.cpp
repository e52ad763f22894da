// The connection table on a long file: one question (Load, as each letter of
// the drive-letter list asks), and the rewrite of a change (Put), on a table
// of one connection and a million comment lines. Time per call.
#include <cstdio>
#include <fstream>
#include <string>

#include <benchmark/benchmark.h>
#include <unistd.h>

#include "platform/services/connection_table.h"

namespace {

std::string LongTable() {
    const std::string path = "/tmp/bench_connection_table_" + std::to_string(getpid());
    std::ofstream file(path, std::ios::trunc);
    file << "Z:\t\\\\10.201.1.11\\Volume_1\tadmin\n";
    for (int i = 0; i < 1000000; ++i) {
        file << "# line " << i << " of a long table\n";
    }
    return path;
}

void BM_LoadLongTable(benchmark::State& state) {
    const std::string path = LongTable();
    const ostrel::platform::ConnectionTable table(path);
    for (auto _ : state) {
        benchmark::DoNotOptimize(table.Load());
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_LoadLongTable)->Unit(benchmark::kMillisecond);

void BM_PutIntoLongTable(benchmark::State& state) {
    const std::string path = LongTable();
    ostrel::platform::ConnectionTable table(path);
    char letter = 'A';
    for (auto _ : state) {
        benchmark::DoNotOptimize(table.Put(letter, {"\\\\10.201.1.12\\Volume_2", "admin"}));
        letter = letter == 'Y' ? 'A' : static_cast<char>(letter + 1);
    }
    std::remove(path.c_str());
    std::remove((path + ".lock").c_str());
}
BENCHMARK(BM_PutIntoLongTable)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
