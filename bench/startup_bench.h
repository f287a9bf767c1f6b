#pragma once
// Marks that the start-up group is built into the benchmark program.
