#include "app/VLTMGenericObjectTrampoline.h"

VLTMGenericObjectTrampoline::VLTMGenericObjectTrampoline() = default;

VLTMGenericObjectTrampoline::~VLTMGenericObjectTrampoline() = default;
