#include "app/sidebar/VLTMGenericObjectTrampoline.h"

VLTMGenericObjectTrampoline::VLTMGenericObjectTrampoline() = default;

VLTMGenericObjectTrampoline::~VLTMGenericObjectTrampoline() = default;
