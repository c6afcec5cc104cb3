#pragma once
// Everything of the os module in one include.
#include "platform/os/BuildVersion.h"
#include "platform/os/Files.h"
#include "platform/os/Launch.h"
#include "platform/os/Process.h"
#include "platform/os/Regional.h"
#include "platform/os/SingleInstance.h"
#include "platform/os/TempNames.h"
