# torvak_transform and torvak_transform_theta: the response probabilities of an item stay the
# same when item and examinee both move to the other scale; a table keeps its layout; and From
# items made from To items by a known link are linked back to that link by every method, and
# to the identity once carried across.
source("helpers.R")

links <- list(
  list(M = matrix(1.25), t = -0.4),
  list(M = matrix(c(1.2, 0.3, -0.2, 0.9), 2), t = c(0.4, -0.3)),
  list(M = matrix(c(0.9, 0.1, 0.05, -0.15, 1.1, 0.2, 0.1, 0, 1.3), 3), t = c(0.2, -0.5, 0.1))
)
inverse <- function(link) {
  A <- solve(link$M)
  list(M = A, t = -drop(A %*% link$t))
}

for (link in links) {
  k <- length(link$t)
  info <- paste("dimension", k)
  items <- made_items(12, k, seed = 10 + k)
  theta <- matrix(rnorm(7 * k), 7, k)

  moved <- torvak_transform(items, link)
  expect_equal(probabilities(moved, torvak_transform_theta(theta, link)),
               probabilities(items, theta), tolerance = 1e-12, info = info)
  expect_identical(dimnames(moved), dimnames(items), info = info)
  expect_identical(moved[, "g"], items[, "g"], info = info)
  expect_equal(torvak_transform(moved, inverse(link)), items, tolerance = 1e-12, info = info)
  expect_equal(torvak_transform_theta(theta, link),
               theta %*% t(link$M) + matrix(link$t, 7, k, byrow = TRUE), info = info)

  # From items on a scale that the link carries onto the To scale of items.
  from <- torvak_transform(items, inverse(link))
  for (method in c("irs", "tcs", "ls")) {
    where <- paste(info, method)
    fit <- torvak_link(from, items, method = method, grid = if (k == 3L) 9 else 15)
    expect_equal(fit$M, link$M, tolerance = 1e-6, scale = 1, info = where)
    expect_equal(fit$t, link$t, tolerance = 1e-6, scale = 1, info = where)
    expect_true(fit$criterion < 1e-10, info = where)
    carried <- torvak_transform(from, fit)
    expect_equal(carried, items, tolerance = 1e-6, scale = 1, info = where)
    again <- torvak_link(carried, items, method = method, grid = if (k == 3L) 9 else 15)
    expect_equal(again$M, diag(k), tolerance = 1e-6, scale = 1, info = where)
    expect_equal(again$t, rep(0, k), tolerance = 1e-6, scale = 1, info = where)
  }
}

# A link on the normal metric is found from tables on the normal metric just as well.
items <- made_items(15, 2, seed = 4)
link <- links[[2L]]
from <- torvak_transform(items, inverse(link))
fit <- torvak_link(from, items, from_metric = "normal", to_metric = "normal", grid = 15)
expect_equal(fit$M, link$M, tolerance = 1e-6, scale = 1)
expect_equal(fit$t, link$t, tolerance = 1e-6, scale = 1)

# Layouts: a data frame stays a data frame with its columns (u untouched) and row names; an
# IRTpars table stays IRTpars with b = M b + t; a plain matrix stays plain.
link1 <- links[[1L]]
irt <- data.frame(a = c(1.1, 0.8, 1.6), b = c(-0.5, 0.3, 1.2), g = c(0.1, 0.2, 0),
                  u = 1, row.names = c("x1", "x2", "x3"))
moved <- torvak_transform(irt, link1)
expect_true(is.data.frame(moved))
expect_identical(names(moved), names(irt))
expect_identical(rownames(moved), rownames(irt))
expect_equal(moved$b, 1.25 * irt$b - 0.4)
expect_equal(moved$a, irt$a / 1.25)
expect_identical(moved$g, irt$g)
expect_identical(moved$u, irt$u)

mirt <- data.frame(a1 = c(1.1, 0.8), a2 = c(0.5, 1.4), d = c(0.2, -1), g = 0, u = 1)
moved <- torvak_transform(mirt, links[[2L]])
expect_identical(names(moved), names(mirt))
expect_identical(.row_names_info(moved), .row_names_info(mirt))
expect_equal(unname(as.matrix(moved[, c("a1", "a2")])),
             unname(as.matrix(mirt[, c("a1", "a2")])) %*% solve(links[[2L]]$M))

plain <- unname(made_items(4, 2, seed = 9))
moved <- torvak_transform(plain, links[[2L]])
expect_null(colnames(moved))
expect_equal(moved[, 4L], plain[, 4L])
expect_equal(moved[, 1:3], torvak_transform(made_items(4, 2, seed = 9), links[[2L]])[, 1:3],
             check.attributes = FALSE)

# A torvak_link result carries items with its own inverse (A, b).
fit <- torvak_link(torvak_transform(items, inverse(link)), items, grid = 15)
expect_equal(torvak_transform(items, fit), torvak_transform(items, fit[c("M", "t")]),
             tolerance = 1e-12)

# Theta as a data frame and as a vector.
df <- data.frame(th1 = c(0, 1), th2 = c(-1, 2))
moved <- torvak_transform_theta(df, links[[2L]])
expect_true(is.data.frame(moved))
expect_identical(names(moved), names(df))
expect_equal(as.matrix(moved), as.matrix(df) %*% t(links[[2L]]$M) +
               matrix(links[[2L]]$t, 2, 2, byrow = TRUE), check.attributes = FALSE)
expect_equal(torvak_transform_theta(c(-1, 0, 2), link1), 1.25 * c(-1, 0, 2) - 0.4)
expect_equal(torvak_transform_theta(c(1, 2), links[[2L]]),
             drop(links[[2L]]$M %*% c(1, 2)) + links[[2L]]$t)

# print, summary and coef of a result.
fit <- torvak_link(from, items, grid = 15)
expect_equal(unname(coef(fit)), cbind(fit$M, fit$t))
expect_identical(colnames(coef(fit)), c("theta1", "theta2", "t"))
printed <- capture.output(print(fit))
expect_true(any(grepl("item response surfaces in 2 dimensions: 15 common items", printed,
                      fixed = TRUE)))
expect_true(any(grepl("225 points", printed, fixed = TRUE)))
summarised <- capture.output(print(summary(fit)))
expect_true(any(grepl("theta_From = A theta_To + b", summarised, fixed = TRUE)))
expect_true(any(grepl("evaluations", summarised, fixed = TRUE)))
expect_equal(summary(fit)$criteria[["end"]], fit$criterion)
