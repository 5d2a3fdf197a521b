# Ctrl-C during a link stops it soon and reaches R as an interrupt: a second R process links a
# search of some 13 seconds and is sent SIGINT half a second into it.
source("helpers.R")

if (.Platform$OS.type != "unix") exit_file("SIGINT is sent on Unix only")

dir <- tempfile("interrupt")
dir.create(dir)
pid_file <- file.path(dir, "pid")
out_file <- file.path(dir, "out")
script <- file.path(dir, "child.R")
writeLines(c(
  sprintf(".libPaths(c(%s, .libPaths()))", deparse(dirname(find.package("torvak")))),
  "library(torvak)",
  "publish <- function(lines, path) {",
  "  writeLines(lines, paste0(path, '.part'))",
  "  file.rename(paste0(path, '.part'), path)",
  "}",
  "source(file.path(commandArgs(TRUE)[1], 'helpers.R'))",
  "items <- made_items(60, 3, seed = 8)",
  "from <- torvak_transform(items, list(M = diag(3) * 1.3, t = c(0.5, -0.5, 0.2)))",
  "from[, 'd'] <- from[, 'd'] + seq(-0.3, 0.3, length.out = 60)",
  "search <- list(method = 'steepest', change_directions = 1000, steps = 400, tolerance = 0)",
  "publish(as.character(Sys.getpid()), commandArgs(TRUE)[2])",
  "started <- Sys.time()",
  "result <- tryCatch({",
  "  torvak_link(from, items, grid = 21, threads = 1, search = search)",
  "  'finished'",
  "}, interrupt = function(e) 'interrupted')",
  "publish(c(result, format(as.numeric(Sys.time() - started, units = 'secs'))),",
  "        commandArgs(TRUE)[3])"
), script)

rscript <- file.path(R.home("bin"), "Rscript")
system2(rscript, c(shQuote(script), shQuote(getwd()), shQuote(pid_file), shQuote(out_file)),
        wait = FALSE, stdout = FALSE, stderr = FALSE)

wait_for <- function(path, seconds) {
  until <- Sys.time() + seconds
  while (!file.exists(path) && Sys.time() < until) Sys.sleep(0.05)
  file.exists(path)
}
expect_true(wait_for(pid_file, 60), info = "the child started")
if (file.exists(pid_file)) {
  pid <- as.integer(readLines(pid_file))
  Sys.sleep(0.5)
  signalled <- Sys.time()
  tools::pskill(pid, tools::SIGINT)
  ended <- wait_for(out_file, 30)
  expect_true(ended, info = "the child ended after SIGINT")
  if (ended) {
    out <- readLines(out_file)
    expect_equal(out[1L], "interrupted")
    expect_true(as.numeric(Sys.time() - signalled, units = "secs") < 10)
  } else {
    tools::pskill(pid, tools::SIGKILL)
  }
}
unlink(dir, recursive = TRUE)
