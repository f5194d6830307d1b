// The file-format tests use the shared test support: scratch folders, byte files, the job builder.
#pragma once

#include "data/datafile.h"
#include "data/textcodec.h"
#include "support/files.h"
#include "support/jobbuilder.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>
