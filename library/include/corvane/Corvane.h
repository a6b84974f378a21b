#pragma once

#include "corvane/TSFile.h"
#include "corvane/TSFileItem.h"
#include "corvane/TSItemCollection.h"
