// The SpringBoard classes a SpringBoard host registers in the object
// runtime, with their default ("previous") behaviour.
#pragma once

void registerSpringBoardClasses();
