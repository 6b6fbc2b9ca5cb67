// te_common: declarations the library's units share.
#pragma once
#include "themed/core/te_button_rules.h"
#include "themed/core/te_theme_rules.h"
#include "themed/win/te_const.h"
