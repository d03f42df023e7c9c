// Everything an end-to-end test needs: a private X server, processes, window queries,
// synthetic input and screenshots. See tests/e2e/README.md.
#pragma once

#include "Connection.h"
#include "Image.h"
#include "Process.h"
#include "Wait.h"
#include "XServer.h"
