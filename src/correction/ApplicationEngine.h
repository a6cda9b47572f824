#pragma once

// The running application's process engine as the scene items reach it: an
// assertion is logged and null returned when the application object is not
// an application interface or has no engine.

class IProcessEngine;

IProcessEngine* applicationProcessEngine();
