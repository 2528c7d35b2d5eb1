#include "textview/view_geometry.h"

TextViewRecord TextView;
