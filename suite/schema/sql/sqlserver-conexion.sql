-- Every connection of the suite: a statement waits at most 5 seconds for another session's lock.
SET LOCK_TIMEOUT 5000;
