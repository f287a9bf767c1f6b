#pragma once
// Present when the delete benchmark is built: bench/main.cpp runs bench::RunDeleteBench (bench.h)
// only if this header exists.
