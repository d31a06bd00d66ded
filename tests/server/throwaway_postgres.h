// One throwaway PostgreSQL server for the whole test run (scripts/throwaway-postgres.sh), started
// on first use and stopped when the tests end, and a fresh database in it for each test.
#pragma once

#include <string>

// A connection string for a new, empty database; empty when no PostgreSQL server can be started
// here, with the reason in `whyNot`.
std::string FreshPostgresDatabase(std::string& whyNot);

// Sends `signal` to every process of the throwaway server (the postmaster and its children), as
// SIGSTOP to make the whole database hang and SIGCONT to let it go on; false when it is not
// running.
bool SignalThrowawayPostgres(int signal);
