// Tests of RPlanetScene: to be written.
