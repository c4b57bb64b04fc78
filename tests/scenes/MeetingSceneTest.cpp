// Tests of RMeetingScene: to be written.
