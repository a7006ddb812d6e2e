#include "bench_report.h"

int main(int argc, char** argv) { return kv::bench::RunBenchmarks(argc, argv); }
