// Tests of RMovingScene: to be written.
