#pragma once
// Compiled once and reused by every test target: GoogleTest and the standard headers nearly
// every test file includes. Parsing these per file was most of the tests' compile time. Engine
// headers stay out: a change to one of them would otherwise rebuild every test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/TestSupport.h"
