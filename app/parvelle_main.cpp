// The shipped program's one application object.
#include "app/parvelle_app.h"

CparvelleApp theApp;
