#include "shell/DetailedPropertiesFrame.h"

TFrameDetailedProperties::TFrameDetailedProperties(TComponent* AOwner) : TFrame(AOwner) {
  SetName("FrameDetailedProperties");
  SetColor(clBtnFace);
}
