#pragma once

// Async-signal-safe. Whether the calling thread has an alternate signal
// stack a handler can run on: "set", or "none".
const char* AlternateStackOfThisThread();
