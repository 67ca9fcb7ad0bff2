// kiln: the framework of the driver. Session classes, the call frame and
// error recording, the status table and option parsing.
#pragma once

#include "Attributes.h"
#include "CallFrame.h"
#include "DriverSession.h"
#include "ErrorReporting.h"
#include "OptionScanner.h"
#include "SessionRef.h"
#include "StatusMessages.h"
