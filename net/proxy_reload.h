#pragma once
// Reads the current user's proxy settings anew and forgets every origin
// resolved so far, for the proxy tests, which change the settings within one
// process. Compiled into test builds only; the shipped exe reads the settings
// once.
void ReloadProxySettings();
