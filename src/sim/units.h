// The simulation's fixed time step and gravitational constant, shared by the
// seeding (circular orbits, courses) and the step (the pulls).
#ifndef STARMILL_SIM_UNITS_H
#define STARMILL_SIM_UNITS_H

const double kTimeStep = 0.005;
const double kGravity = 0.001;

#endif
